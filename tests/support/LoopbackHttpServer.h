// A small HTTP server on 127.0.0.1 for the updater's tests: it serves fixed files, and can
// cut a response short to play a network failure.
#pragma once

#include <QHash>
#include <QTcpServer>

class LoopbackHttpServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit LoopbackHttpServer(QObject* parent = nullptr);

    // Serves `body` at `path` (for example "/updates/KorvaneforFile.txt").
    void Serve(const QString& path, const QByteArray& body);
    // Announces `body` in full but closes the connection after `sentBytes` of it.
    void ServeBroken(const QString& path, const QByteArray& body, int sentBytes);
    // "http://127.0.0.1:<port>/updates/"
    QString FolderUrl(const QString& folder = QStringLiteral("/updates/")) const;
    QStringList Requests() const { return requests; }

private:
    struct Route
    {
        QByteArray body;
        int sentBytes = -1;
    };
    void Answer(QTcpSocket* socket);
    QHash<QString, Route> routes;
    QStringList requests;
};
