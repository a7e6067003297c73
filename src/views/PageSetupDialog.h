#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace velkin {

class Connection;
class Operator;

/// The page setup of the record list: which page to show and how many rows a page holds.
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    PageSetupDialog(Connection& connection, Operator& op, int currentPage, int pageLength,
                    const std::string& countStatement, QWidget* parent = nullptr);

    /// The zero-based page and the page length chosen with OK.
    int page() const { return m_page; }
    int pageLength() const { return m_pageLength; }

    void up();
    void down();
    void ok();

private:
    void pageNumberChanged();
    void pageLengthChanged();
    void showRange();

    Operator& m_op;
    QLineEdit* m_pageNumber;
    QLineEdit* m_pageCount;
    QLineEdit* m_pageLengthField;
    QLineEdit* m_range;
    QLineEdit* m_recordCountField;
    long long m_recordCount = 0;
    int m_pageCountValue = 0;
    bool m_counted = false;
    int m_page;
    int m_pageLength;
};

}  // namespace velkin
