#pragma once
// zifra-server as a program of its own, started and stopped by the test.
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

struct RunningServer {
    std::unique_ptr<ChildProcess> process;
    int port = 0;
};

// Confirms every address the server in `folder` has mailed a link to, as
// its owner would.
void confirmMailedAddresses(const std::string& folder, int port);

// Starts the built zifra-server on a free loopback port in `folder` with
// the given further options; waits until it listens (fails the test if not).
RunningServer startServerProgram(const std::string& folder, const std::vector<std::string>& options);
