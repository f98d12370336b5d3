#include "LoopbackHttpServer.h"

#include <QTcpSocket>

LoopbackHttpServer::LoopbackHttpServer(QObject* parent) : QTcpServer(parent)
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LoopbackHttpServer::Serve(const QString& path, const QByteArray& body)
{
    routes.insert(path, Route{body, -1});
}

void LoopbackHttpServer::ServeBroken(const QString& path, const QByteArray& body, int sentBytes)
{
    routes.insert(path, Route{body, sentBytes});
}

QString LoopbackHttpServer::FolderUrl(const QString& folder) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(folder);
}

void LoopbackHttpServer::Answer(QTcpSocket* socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> first = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = first.size() > 1 ? QString::fromLatin1(first.at(1)) : QString();
    requests.append(path);

    const auto it = routes.constFind(path);
    if (it == routes.constEnd()) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    const Route& route = it.value();
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                  QByteArray::number(route.body.size()) + "\r\nConnection: close\r\n\r\n");
    if (route.sentBytes < 0) {
        socket->write(route.body);
        socket->disconnectFromHost();
    } else {
        socket->write(route.body.left(route.sentBytes));
        socket->flush();
        socket->abort();
    }
}
