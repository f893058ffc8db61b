#include "media/TPrivateFilters.h"

bool PrivateFactoryBlocked(const QString&)
{
    return false;
}
