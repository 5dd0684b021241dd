#include "platform/windows/monitor_match.h"

#include <algorithm>

namespace lsscreens::windows_platform {

namespace {

wchar_t lowerCaseAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

std::span<const std::uint8_t> edidByInterfacePath(const std::vector<MonitorDevice>& devices, std::wstring_view path)
{
    if (path.empty())
        return {};
    const auto device = std::ranges::find_if(devices, [&](const MonitorDevice& d) {
        return std::ranges::equal(d.interfacePath, path, {}, lowerCaseAscii, lowerCaseAscii);
    });
    return device == devices.end() ? std::span<const std::uint8_t>() : device->edid;
}

}  // namespace lsscreens::windows_platform
