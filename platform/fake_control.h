#pragma once
// Controls of the fake platform, for tests and the simulation runner: a
// calendar that the caller sets, records of what the program wrote or
// posted, scripted answers, and stand-ins for what only Windows has.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/http.h"
#include "platform/resources.h"

namespace platform::fake {

// The calendar reads `seconds`; with `readsPerSecond` above 0 it moves on by
// one second after every that many readings (so a wait for the next second ends).
void setCalendarSeconds(std::int64_t seconds, std::uint32_t readsPerSecond = 0);

// Debugger lines written, since the last clear.
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

// With `hold` set, runWithTimeLimit keeps its work instead of running it and
// reports that the time ran out, as for work blocked past its limit;
// runHeldWork then lets the held work run to its end, as the blocked thread
// would once unblocked. Without it the work runs at once and ends in time.
void holdWork(bool hold);
void runHeldWork();
// The limit that runWithTimeLimit was last given.
std::uint32_t lastTimeLimit();

// Every postForm answers `answer` from now on; with `connects` false the
// connection cannot be opened, so the form's body is never asked for.
void setHttpAnswer(HttpAnswer answer, bool connects = true);
// The forms posted, in order, since the last clear; `body` is empty when it
// was not asked for.
struct PostedForm {
    std::string host;
    std::uint16_t port = 0;
    std::string path;
    std::string header;
    std::string body;
    bool bodyAsked = false;
};
const std::vector<PostedForm>& postedForms();
void clearPostedForms();

}  // namespace platform::fake
