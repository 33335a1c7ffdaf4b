#include "app/application.h"

#include <QApplication>

namespace vikora {

int runApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vikora"));
    return 0;
}

}  // namespace vikora
