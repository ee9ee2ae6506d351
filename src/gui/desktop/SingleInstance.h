#pragma once
// One running program per user: the first start listens on a local socket of its own; a second
// start finds it there, asks it to come forward and ends. A socket left behind by a program that
// crashed answers nobody, so it is removed and taken over.
#include <QObject>
#include <QString>

class QLocalServer;

namespace mv::gui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` is the local socket's name or full path; the default is one per user.
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The user's socket in the per-user runtime folder.
    static QString defaultName();

    // True when this is the first instance and should run on (listening for later starts);
    // false when another instance runs: it has been asked to come forward, so this one ends.
    bool claim();

signals:
    // Another start asked this instance to show its main window (restored if minimised, raised
    // and activated).
    void raiseRequested();

private:
    bool askRunningInstance();
    bool listen();
    void onConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace mv::gui
