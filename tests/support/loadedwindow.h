#pragma once

#include "platformcalls.h"
#include "testenv.h"

#include "app/frmdialog.h"
#include "ui/statusbar.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

// The real main window, loaded, on a settings folder and test platform of its own.
struct LoadedWindow
{
    TestConfigDir config;
    TestPlatform *platform = TestPlatform::install();
    std::unique_ptr<frmDialog> w = std::make_unique<frmDialog>();

    explicit LoadedWindow(bool load = true)
    {
        if (load)
            w->Form_Load();
    }
    // Triggers the menu entry or clicks the button of that object name.
    void activate(const QString &name) const
    {
        if (auto *action = w->findChild<QAction *>(name))
            action->trigger();
        else if (auto *button = w->findChild<QAbstractButton *>(name))
            button->click();
        else
            QFAIL(qPrintable("no control " + name));
    }
    QString panel(int number) const { return w->StatusBar1->panelText(number); }
    QStringList messages(int part = 0) const { return PlatformCalls::messages(*platform, part); }
};
