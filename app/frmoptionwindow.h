#pragma once

#include "app/optionswindow.h"
#include "options/frmoption.h"

#include <QLineEdit>

// The options window of the program behind the commands' interface.
class FrmOptionWindow : public OptionsWindow
{
public:
    explicit FrmOptionWindow(frmOption &options)
        : m_options(options)
    {
    }

    void setOutputFolderBox(const QString &folder) override
    {
        if (!m_options.IsLoaded())
            m_options.Load();
        m_options.txtOutFolder->setText(folder);
    }

    void showFresh() override
    {
        m_options.Unload();
        m_options.showModal();
    }

private:
    frmOption &m_options;
};
