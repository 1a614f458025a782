#include "platform/StartAtLogin.h"

#include <windows.h>

namespace ambrin::platform {

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kValue = "Ambrin";

std::string Words(LONG error)
{
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(error), 0, text,
                   sizeof text, nullptr);
    return text;
}

}  // namespace

bool StartsAtLogin()
{
    return RegGetValueA(HKEY_CURRENT_USER, kRunKey, kValue, RRF_RT_REG_SZ, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool SetStartAtLogin(bool on, const std::string& program, std::string& reason)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        if (on) {
            const std::string command = "\"" + program + "\"";
            result = RegSetValueExA(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                    static_cast<DWORD>(command.size() + 1));
        } else {
            result = RegDeleteValueA(key, kValue);
            if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS) reason = Words(result);
    return result == ERROR_SUCCESS;
}

}  // namespace ambrin::platform
