#pragma once
// Controls of the host platform, for tests and the simulation runner: a clock
// and a calendar that the caller sets, records of what the program started or
// wrote, and stand-ins for what only Windows has.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace platform::host {

// The clock reads `now`; every reading then moves it on by `stepPerRead`
// (so a busy-wait ends), and every sleep moves it on by the time slept.
void setClock(std::uint32_t now, std::uint32_t stepPerRead = 0);
std::uint32_t clockNow();

// The calendar reads `seconds`; with `readsPerSecond` above 0 it moves on by
// one second after every that many readings (so a wait for the next second ends).
void setCalendarSeconds(std::int64_t seconds, std::uint32_t readsPerSecond = 0);

// Cue ids started, in order, and debugger lines written, since the last clear.
const std::vector<int>& startedCues();
void clearStartedCues();
const std::vector<std::string>& debugOutput();
void clearDebugOutput();

// Resources added here are served before those of the resource script.
void addResource(ResourceType type, int id, std::vector<std::uint8_t> bytes);
void clearAddedResources();

void setModulePath(std::string path);
void setProcessorType(int type);

// A library that loadLibrary can find by its exact name; entry points by name.
struct FakeLibrary {
    std::map<std::string, void*> entryPoints;
    int loads = 0;  // how often loadLibrary handed it out
};
void installLibrary(const std::string& name, FakeLibrary* library);
void removeLibraries();
// What lastError() reads; fake entry points set it where they fail.
void setLastError(std::uint32_t error);

}  // namespace platform::host
