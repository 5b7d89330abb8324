#pragma once

#include <cstdint>
#include <string>

// The small window-message layer the tooltip class talks to: window handles, the
// message numbers and flag values of the common-controls tooltip window, and the tool
// record those messages carry.
namespace TooltipApi {

using WindowHandle = std::uintptr_t; // 0: no window
using ModuleHandle = std::uintptr_t;
using ColorRef = std::uint32_t; // 0x00bbggrr

inline constexpr const char *TooltipClassName = "tooltips_class32";
inline constexpr std::int32_t CW_USEDEFAULT = std::int32_t(0x80000000);

// Window styles.
inline constexpr std::uint32_t TTS_ALWAYSTIP = 0x01;
inline constexpr std::uint32_t TTS_NOPREFIX = 0x02;
inline constexpr std::uint32_t TTS_BALLOON = 0x40;

// Tool flags.
inline constexpr std::uint32_t TTF_IDISHWND = 0x01;
inline constexpr std::uint32_t TTF_CENTERTIP = 0x02;
inline constexpr std::uint32_t TTF_SUBCLASS = 0x10;

// Messages.
inline constexpr std::uint32_t TTM_SETDELAYTIME = 1027;
inline constexpr std::uint32_t TTM_ADDTOOLA = 1028;
inline constexpr std::uint32_t TTM_UPDATETIPTEXTA = 1036;
inline constexpr std::uint32_t TTM_SETTIPBKCOLOR = 1043;
inline constexpr std::uint32_t TTM_SETTIPTEXTCOLOR = 1044;
inline constexpr std::uint32_t TTM_SETTITLEA = 1056;

// TTM_SETDELAYTIME selectors.
inline constexpr std::uint32_t TTDT_AUTOPOP = 2;
inline constexpr std::uint32_t TTDT_INITIAL = 3;

// Title icons for TTM_SETTITLEA.
inline constexpr std::uint32_t TTI_NONE = 0;
inline constexpr std::uint32_t TTI_INFO = 1;
inline constexpr std::uint32_t TTI_WARNING = 2;
inline constexpr std::uint32_t TTI_ERROR = 3;

struct Rect
{
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The tool record of the ANSI messages; `cbSize` is the record size of that layout (44).
struct ToolInfo
{
    std::uint32_t cbSize = 0;
    std::uint32_t uFlags = 0;
    WindowHandle hwnd = 0;
    std::uintptr_t uId = 0;
    Rect rect;
    ModuleHandle hinst = 0;
    const char *lpszText = nullptr; // not owned
};
inline constexpr std::uint32_t ToolInfoSize = 44;

struct CreateWindowParams
{
    std::uint32_t exStyle = 0;
    std::string className;
    std::string windowName;
    std::uint32_t style = 0;
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    WindowHandle parent = 0;
    std::uintptr_t menu = 0;
    ModuleHandle instance = 0;
    std::uintptr_t param = 0;
};

} // namespace TooltipApi

// Creates, messages and destroys tooltip windows. Messages follow the common-controls
// conventions: TTM_ADDTOOLA and TTM_UPDATETIPTEXTA carry a `const ToolInfo *` in lParam,
// TTM_SETTITLEA the icon in wParam and a `const char *` title in lParam, the colour
// messages the colour in wParam, TTM_SETDELAYTIME the selector in wParam and ms in lParam.
class TooltipWindowSystem
{
public:
    virtual ~TooltipWindowSystem() = default;

    virtual void initCommonControls() = 0;
    virtual TooltipApi::ModuleHandle moduleInstance() const = 0;
    virtual TooltipApi::WindowHandle createWindow(const TooltipApi::CreateWindowParams &params) = 0;
    virtual std::intptr_t sendMessage(TooltipApi::WindowHandle window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual bool destroyWindow(TooltipApi::WindowHandle window) = 0;

    // The window system programs use unless told otherwise (the Qt one).
    static TooltipWindowSystem &instance();
};
