#include "ui/frmQVL.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quovel"));
    QApplication::setApplicationName(QStringLiteral("Quovel"));
    QApplication::setApplicationVersion(QStringLiteral(QUOVEL_VERSION));
    frmQVL window;
    window.show();
    return QApplication::exec();
}
