#pragma once

#include <QString>

// Is aFactory one of the private sets' factories while the sets are off? Such a factory is
// never made, whatever its rank says. Any thread.
bool PrivateFactoryBlocked(const QString& aFactory);
