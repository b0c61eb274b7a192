#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The line between a running window and a second start on the same program folder: the running
// one listens, the second asks it to bring its window to the front. Only the holder of the
// single-instance lock listens, so a name left behind by a crash can be taken over.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit InstanceChannel(const QString &programFolderHost, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // The local socket name of a program folder: one per folder, whatever its spelling.
    static QString serverName(const QString &programFolderHost);

    // Starts listening; false when the name cannot be taken.
    bool listen();
    // Asks the instance listening for this folder to show its window; true when it answered
    // within the time given.
    static bool askToRaise(const QString &programFolderHost, int timeoutMs = 2000);

signals:
    void raiseRequested();

private:
    void onNewConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
