// A second program on the same hive.
//   hive_writer FILE KEY COUNT      writes COUNT values under KEY, as another instance would
//   hive_writer FILE lock           holds a write transaction until its input closes
//   hive_writer FILE lockall        holds the hive exclusively (readers wait too)
// The lock modes print "locked" once they hold the lock.
#include "prefs/TRegPreferencesMan.h"

#include <QCoreApplication>
#include <QFile>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace {

int HoldLock(const char* aFile, bool aAll)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(aFile, &db) != SQLITE_OK)
        return 3;
    const char* sql = aAll ? "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; "
                             "CREATE TABLE IF NOT EXISTS other(x); INSERT INTO other VALUES(1);"
                           : "BEGIN IMMEDIATE; CREATE TABLE IF NOT EXISTS other(x); "
                             "INSERT INTO other VALUES(1);";
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return 4;
    std::puts("locked");
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && (std::strcmp(argv[2], "lock") == 0 || std::strcmp(argv[2], "lockall") == 0))
        return HoldLock(argv[1], std::strcmp(argv[2], "lockall") == 0);
    if (argc != 4)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString key = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    TRegPreferencesMan store(QStringLiteral("Software\\Orvalis\\Tessarine"), true, file);
    if (!store.OpenKey(key, true))
        return 3;
    for (int i = 0; i < count; ++i)
        if (!store.WriteInteger(QStringLiteral("v%1").arg(i), i) ||
            !store.WriteString(QStringLiteral("s%1").arg(i), QStringLiteral("texte %1").arg(i)))
            return 4;
    return 0;
}
