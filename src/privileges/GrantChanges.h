#pragma once

#include <QObject>

namespace velkin {

/// Tells what shows grants (the charts) that a screen which can change them has closed, so that it is
/// drawn afresh instead of showing what was.
class GrantChanges : public QObject {
    Q_OBJECT
public:
    static GrantChanges& instance();
    /// How many such screens have closed in this process.
    int closings() const { return m_closings; }

signals:
    void screenClosed();

private:
    friend class GrantScreen;
    void tell();
    int m_closings = 0;
};

/// Held by every screen that can change grants: its end is the screen's closing.
class GrantScreen {
public:
    GrantScreen() = default;
    GrantScreen(const GrantScreen&) = delete;
    GrantScreen& operator=(const GrantScreen&) = delete;
    ~GrantScreen() { GrantChanges::instance().tell(); }
};

}  // namespace velkin
