#include "server/nickname_backfill.h"

#include "server/nickname.h"

std::size_t fillMissingSkeletons(ConnectionPool& pool) {
    auto connection = pool.borrow();
    std::size_t filled = 0;
    for (const SqlRow& row : connection->query("SELECT id, nickname FROM accounts WHERE nickname_skeleton IS NULL")) {
        // Old nicknames were taken as they were: their skeleton is made from
        // them whatever the checks of today would say.
        NicknameVerdict verdict = examineNickname(*row[1], SIZE_MAX);
        if (verdict.skeleton.empty()) continue;
        try {
            connection->query("UPDATE accounts SET nickname_skeleton = $1 WHERE id = $2",
                              {verdict.skeleton, sqlInteger(row[0])});
            ++filled;
        } catch (const SqlError& error) {
            if (!error.uniqueViolation) throw;
        }
    }
    return filled;
}
