// Writes values into a hive as a second program would: hive_writer FILE KEY COUNT
#include <TRegPreferencesMan.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
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
