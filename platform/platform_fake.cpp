// The fake platform: every service of the seam, deterministic and driven
// through fake_control.h, for the native build's tests and tools.
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "platform/bitmaps.h"
#include "platform/calendar.h"
#include "platform/debug_output.h"
#include "platform/fake_control.h"
#include "platform/library.h"
#include "platform/module.h"
#include "platform/processor.h"
#include "platform/resource_table.h"
#include "platform/resources.h"
#include "platform/time_limit.h"
#include "platform/timer.h"

namespace platform {
namespace {

struct FakeState {
    std::uint32_t clock = 0;
    std::int64_t calendar = 0;
    std::uint32_t calendarReadsPerSecond = 0;
    std::uint32_t calendarReads = 0;
    std::vector<std::string> debugLines;
    std::map<std::pair<ResourceType, int>, std::vector<std::uint8_t>> addedResources;
    std::string modulePath = "zifra.exe";
    int processorType = 8664;
    std::map<std::string, fake::FakeLibrary*> libraries;
    std::uint32_t lastError = 0;
    bool holdWork = false;
    std::function<void()> heldWork;
    std::uint32_t lastTimeLimit = 0;
};

FakeState& state() {
    static FakeState instance;
    return instance;
}

}  // namespace

// The program is given its time by its shell; only a sleep moves this clock.
std::uint32_t milliseconds() { return state().clock; }

void sleepMilliseconds(std::uint32_t ms) { state().clock += ms; }

std::int64_t calendarSeconds() {
    FakeState& s = state();
    std::int64_t now = s.calendar;
    if (s.calendarReadsPerSecond > 0 && ++s.calendarReads == s.calendarReadsPerSecond) {
        s.calendarReads = 0;
        ++s.calendar;
    }
    return now;
}

void writeDebugOutput(const char* text) { state().debugLines.emplace_back(text); }

std::optional<std::span<const std::uint8_t>> resourceBytes(ResourceType type, int id) {
    const auto& added = state().addedResources;
    if (auto it = added.find({type, id}); it != added.end()) {
        return std::span<const std::uint8_t>(it->second);
    }
    return embeddedResource(type, id);
}

// The fake has no bitmap loader: pictures come from "pvb/rle" resources only.
std::optional<LoadedBitmap> loadBitmap(int) { return std::nullopt; }
void releaseBitmap(LoadedBitmap& bitmap) { bitmap = LoadedBitmap{}; }

std::string modulePath() { return state().modulePath; }

int processorType() { return state().processorType; }

LibraryHandle loadLibrary(const char* name) {
    auto& libraries = state().libraries;
    auto it = libraries.find(name);
    if (it == libraries.end()) return nullptr;
    ++it->second->loads;
    return it->second;
}

EntryPoint findEntryPoint(LibraryHandle library, const char* name) {
    auto* fake = static_cast<fake::FakeLibrary*>(library);
    auto it = fake->entryPoints.find(name);
    return it == fake->entryPoints.end() ? nullptr : it->second;
}

std::uint32_t lastError() { return state().lastError; }

// On the calling thread: the work ends in time, unless a test holds it back
// to play a limit that ran out while it was blocked.
bool runWithTimeLimit(std::function<void()> work, std::uint32_t limitMs) {
    state().lastTimeLimit = limitMs;
    if (state().holdWork) {
        state().heldWork = std::move(work);
        return false;
    }
    work();
    return true;
}

namespace fake {

void setCalendarSeconds(std::int64_t seconds, std::uint32_t readsPerSecond) {
    state().calendar = seconds;
    state().calendarReadsPerSecond = readsPerSecond;
    state().calendarReads = 0;
}
const std::vector<std::string>& debugOutput() { return state().debugLines; }
void clearDebugOutput() { state().debugLines.clear(); }
void addResource(ResourceType type, int id, std::vector<std::uint8_t> bytes) {
    state().addedResources[{type, id}] = std::move(bytes);
}
void clearAddedResources() { state().addedResources.clear(); }
void setModulePath(std::string path) { state().modulePath = std::move(path); }
void setProcessorType(int type) { state().processorType = type; }
void installLibrary(const std::string& name, FakeLibrary* library) { state().libraries[name] = library; }
void removeLibraries() { state().libraries.clear(); }
void setLastError(std::uint32_t error) { state().lastError = error; }
void holdWork(bool hold) { state().holdWork = hold; }
void runHeldWork() {
    std::function<void()> work = std::move(state().heldWork);
    state().heldWork = nullptr;
    if (work) work();
}
std::uint32_t lastTimeLimit() { return state().lastTimeLimit; }

}  // namespace fake
}  // namespace platform
