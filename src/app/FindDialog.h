#pragma once

#include <QDialog>

#include "FindInList.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace velkin {

/// The modeless find dialog (find only, no replace) over the record list.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);

    FindRequest request() const;

Q_SIGNALS:
    void findNextRequested(const velkin::FindRequest& request);

private:
    QLineEdit* m_text;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QRadioButton* m_up;
    QRadioButton* m_down;
};

}  // namespace velkin
