#include "gui/desktop/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace mv::gui {
namespace {

constexpr char RaiseRequest[] = "raise\n";
constexpr int ConnectTimeout = 1000;

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
}

QString SingleInstance::defaultName() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/mailvane.instance");
}

bool SingleInstance::claim() {
    if (askRunningInstance()) return false;
    if (listen()) return true;
    // Another start may have won the race between our look and our listen.
    if (askRunningInstance()) return false;
    // Nobody answers on the name, so a socket file left there is stale.
    QLocalServer::removeServer(m_name);
    if (!listen())
        qWarning("Cannot listen on %s: a second start will not find this one", qPrintable(m_name));
    return true;
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(ConnectTimeout)) return false;
    // The request waits in the connection until the running instance reads it, so there is no
    // answer to wait for (and one process holding both ends, as in tests, cannot deadlock).
    socket.write(RaiseRequest);
    socket.waitForBytesWritten(ConnectTimeout);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    }
    return m_server->listen(m_name);
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto read = [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine() == RaiseRequest) emit raiseRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        read();
    }
}

} // namespace mv::gui
