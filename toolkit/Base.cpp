#include "toolkit/Base.h"

#include <algorithm>

void IDependency::removeDependent(CBaseObject* object)
{
    m_dependents.erase(std::remove(m_dependents.begin(), m_dependents.end(), object), m_dependents.end());
}

void IDependency::changed(CMessage message)
{
    CBaseObject* sender = dependencySender();
    const std::vector<CBaseObject*> dependents = m_dependents;
    for (CBaseObject* object : dependents) object->notify(sender, message);
}
