// Win32 implementation of the platform seam.
#include <windows.h>
#include <mmsystem.h>

#include <ctime>
#include <memory>
#include <utility>

#include "platform/bitmaps.h"
#include "platform/calendar.h"
#include "platform/cues.h"
#include "platform/debug_output.h"
#include "platform/library.h"
#include "platform/module.h"
#include "platform/processor.h"
#include "platform/resources.h"
#include "platform/time_limit.h"
#include "platform/timer.h"

namespace platform {

std::uint32_t milliseconds() { return timeGetTime(); }

void sleepMilliseconds(std::uint32_t ms) { Sleep(ms); }

std::int64_t calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

void playCue(int id) { PlaySoundA(MAKEINTRESOURCEA(id), nullptr, SND_RESOURCE | SND_ASYNC); }

void writeDebugOutput(const char* text) { OutputDebugStringA(text); }

std::optional<std::span<const std::uint8_t>> resourceBytes(ResourceType type, int id) {
    LPCSTR typeName = type == ResourceType::RcData   ? MAKEINTRESOURCEA(10)  // RT_RCDATA
                      : type == ResourceType::Bitmap ? MAKEINTRESOURCEA(2)   // RT_BITMAP
                                                     : "WAVE";
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), typeName);
    if (!info) return std::nullopt;
    HGLOBAL loaded = LoadResource(nullptr, info);
    if (!loaded) return std::nullopt;
    const void* data = LockResource(loaded);
    if (!data) return std::nullopt;
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), SizeofResource(nullptr, info));
}

std::optional<LoadedBitmap> loadBitmap(int id) {
    HANDLE handle = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    if (!handle) return std::nullopt;
    BITMAP description{};
    GetObjectA(handle, sizeof description, &description);
    LoadedBitmap bitmap;
    bitmap.width = description.bmWidth;
    bitmap.height = description.bmHeight;
    bitmap.bytesPerRow = description.bmWidthBytes;
    bitmap.bitsPerPixel = description.bmBitsPixel;
    bitmap.bits = static_cast<const std::uint8_t*>(description.bmBits);
    bitmap.handle = handle;
    return bitmap;
}

void releaseBitmap(LoadedBitmap& bitmap) {
    if (bitmap.handle) DeleteObject(static_cast<HGDIOBJ>(bitmap.handle));
    bitmap = LoadedBitmap{};
}

std::string modulePath() {
    char path[1024];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

int processorType() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<int>(info.dwProcessorType);
}

LibraryHandle loadLibrary(const char* name) { return reinterpret_cast<LibraryHandle>(LoadLibraryA(name)); }

EntryPoint findEntryPoint(LibraryHandle library, const char* name) {
    return reinterpret_cast<EntryPoint>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::uint32_t lastError() { return GetLastError(); }

namespace {

DWORD WINAPI runWork(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

}  // namespace

bool runWithTimeLimit(std::function<void()> work, std::uint32_t limitMs) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    HANDLE thread = CreateThread(nullptr, 0, runWork, owned.get(), 0, nullptr);
    // Without a thread the work never runs; what it owns is released here.
    if (!thread) return false;
    owned.release();
    bool ended = WaitForSingleObject(thread, limitMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

}  // namespace platform
