#pragma once

#include "ui/tooltipwindowsystem.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// Records what a tooltip asks of the window system, decoding each message's payload the
// way the real window would read it at the time of the call.
class RecordingTooltipSystem : public TooltipWindowSystem
{
public:
    struct Message
    {
        TooltipApi::WindowHandle window = 0;
        std::uint32_t message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        TooltipApi::ToolInfo tool; // TTM_ADDTOOLA, TTM_UPDATETIPTEXTA
        QByteArray text;           // the tool's text, or the title of TTM_SETTITLEA
    };

    int initCount = 0;
    QList<TooltipApi::CreateWindowParams> created;
    QList<Message> messages;
    QList<TooltipApi::WindowHandle> destroyed;
    // Each message as a line: "add <flags> <text>", "update <flags> <text>",
    // "title <icon> <text>", "fore <colour>", "back <colour>", "delay <selector> <ms>".
    QStringList log;
    TooltipApi::WindowHandle nextHandle = 0x1000;

    void initCommonControls() override { ++initCount; }
    TooltipApi::ModuleHandle moduleInstance() const override { return 0x400000; }

    TooltipApi::WindowHandle createWindow(const TooltipApi::CreateWindowParams &params) override
    {
        created.append(params);
        return nextHandle++;
    }

    std::intptr_t sendMessage(TooltipApi::WindowHandle window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override
    {
        Message m{window, message, wParam, lParam, {}, {}};
        if (message == TooltipApi::TTM_ADDTOOLA || message == TooltipApi::TTM_UPDATETIPTEXTA) {
            m.tool = *reinterpret_cast<const TooltipApi::ToolInfo *>(lParam);
            m.text = QByteArray(m.tool.lpszText);
        } else if (message == TooltipApi::TTM_SETTITLEA) {
            m.text = QByteArray(reinterpret_cast<const char *>(lParam));
        }
        messages.append(m);
        using namespace TooltipApi;
        const QString w = QString::number(wParam), text = QString::fromLatin1(m.text);
        switch (message) {
        case TTM_ADDTOOLA:
        case TTM_UPDATETIPTEXTA:
            log << QStringLiteral("%1 %2 %3")
                       .arg(message == TTM_ADDTOOLA ? "add" : "update")
                       .arg(m.tool.uFlags)
                       .arg(text);
            break;
        case TTM_SETTITLEA:
            log << "title " + w + ' ' + text;
            break;
        case TTM_SETTIPTEXTCOLOR:
            log << "fore " + w;
            break;
        case TTM_SETTIPBKCOLOR:
            log << "back " + w;
            break;
        case TTM_SETDELAYTIME:
            log << "delay " + w + ' ' + QString::number(lParam);
            break;
        default:
            log << QString::number(message);
        }
        return 1;
    }

    bool destroyWindow(TooltipApi::WindowHandle window) override
    {
        destroyed.append(window);
        return true;
    }

    void clear() { created.clear(), messages.clear(), destroyed.clear(), log.clear(); }
};
