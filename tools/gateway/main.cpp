// mv-gateway: the service gateway of the client on 127.0.0.1.
#include "Gateway.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const char *usage = "usage: mv-gateway [--port N] [--root DIR]\n"
                        "  --port N    TCP port on 127.0.0.1, 0 for a free one (default 8610)\n"
                        "  --root DIR  folder that holds Data/ggcg.json, the holdings data, and the data set and\n"
                        "              program copies (Update/Client, Update/Download) offered for update (default .)\n";
    quint16 port = 8610;
    QString root = QStringLiteral(".");
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"--help" || a == u"-h") {
            QTextStream(stdout) << usage;
            return 0;
        }
        if ((a != u"--port" && a != u"--root") || i + 1 >= args.size()) {
            err << "mv-gateway: unexpected argument: " << a << "\n" << usage;
            return 2;
        }
        const QString v = args.at(++i);
        if (a == u"--port") {
            bool ok = false;
            const uint n = v.toUInt(&ok);
            if (!ok || n > 65535) {
                err << "mv-gateway: bad port: " << v << "\n" << usage;
                return 2;
            }
            port = quint16(n);
        } else {
            if (!QFileInfo(v).isDir()) {
                err << "mv-gateway: not a folder: " << v << "\n" << usage;
                return 2;
            }
            root = v;
        }
    }
    TGateway gateway(root);
    QString error;
    if (!gateway.Listen(port, error)) {
        err << "mv-gateway: " << error << "\n";
        return 1;
    }
    if (!QFileInfo(gateway.HoldingsFile()).isFile())
        err << "mv-gateway: warning: no holdings data at " << QDir::toNativeSeparators(gateway.HoldingsFile())
            << "; the holdings lists answer 503 (write it with lhb-demo)\n";
    err << "mv-gateway: serving http://127.0.0.1:" << gateway.Port() << "/MV/SDA/Go.asp?sn=lhb from "
        << QDir::toNativeSeparators(QFileInfo(root).absoluteFilePath()) << "\n";
    err.flush();
    return app.exec();
}
