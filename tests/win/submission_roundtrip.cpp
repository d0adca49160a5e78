// One score through the real WinINet binding and submission protocol, sent to
// whatever listens on the loopback build's competition port; prints the
// record's outcome for submission_roundtrip.py.
//   submission_roundtrip USER PASSWORD SCORE INTEGRITY_FLAG
#include <cstdio>
#include <cstdlib>

#include "net/score_submission.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: submission_roundtrip USER PASSWORD SCORE INTEGRITY_FLAG\n");
        return 2;
    }
    SubmissionRecord record;
    record.userName = argv[1];
    record.password = argv[2];
    record.score = std::atoi(argv[3]);
    record.integrityFlag = std::atoi(argv[4]) != 0;
    submitScore(record);
    std::printf("resultCode=%d\nversionNumber=%d\nscore=%d\nmessage=", record.resultCode, record.versionNumber,
                record.score);
    // In hexadecimal, so that line ends inside survive the console's text mode.
    for (unsigned char c : record.message) std::printf("%02X", c);
    std::printf("\n");
    return 0;
}
