#include "desktop/one_instance.h"

#include "desktop/app_instance.h"

TOneInstance::TOneInstance(QObject* parent) : QObject(parent) { }

bool TOneInstance::Loaded(TAppInstance& instance)
{
    if (!m_enabled || instance.IsFirst())
        return false;
    // Whether the running copy was reached or not, this copy ends.
    instance.SendCommand(m_command);
    return true;
}
