#include "app/core/sitesettingcheck.h"
#include "app/window/form1.h"
#include "app/window/qtdialogs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    zd::QtDialogs dialogs;
    if (!zd::confirmUsableSiteSetting(dialogs))
        return 2;
    zd::Form1 form(dialogs);
    form.show();
    return application.exec();
}
