// Download: the client's download program. Started with the update address as its one argument, it
// brings the data files and the new program copies of its working directory up to the gateway's.
#include "Downloader.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QUrl>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const char *usage = "usage: Download URL\n"
                        "  URL  the update address of the service gateway, such as\n"
                        "       http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=update\n"
                        "Brings the data files and program copies of the working directory up to date.\n";
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && (args.first() == u"--help" || args.first() == u"-h")) {
        out << usage;
        return 0;
    }
    if (args.size() != 1) {
        err << "Download: expected one argument, the update address\n" << usage;
        return 2;
    }
    const QUrl address(args.first());
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || (scheme != u"http" && scheme != u"https") || address.host().isEmpty()) {
        err << "Download: not an http or https address: " << args.first() << "\n" << usage;
        return 2;
    }
    TDownloader downloader(out, err);
    return downloader.Run(address);
}
