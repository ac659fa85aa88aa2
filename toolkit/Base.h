#pragma once
// Reference-counted base of every toolkit object, messages between objects
// and the dependency (observer) mix-in.
//
// Ownership follows one rule: an object starts with one reference held by
// whoever created it. A container that receives a view takes over that
// reference; anyone who wants to keep an object beyond that calls remember()
// and later forget().

#include <cstdint>
#include <utility>
#include <vector>

class CBaseObject;

using CMessage = const char*;

enum CMessageResult { kMessageUnknown = 0, kMessageNotified = 1 };

class CBaseObject {
public:
    CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject() = default;

    void remember() { ++m_refCount; }
    void forget()
    {
        if (--m_refCount == 0) delete this;
    }
    int32_t getNbReference() const { return m_refCount; }

    // A message from another object (a timer, a dependency, a dialog).
    virtual CMessageResult notify(CBaseObject* sender, CMessage message)
    {
        (void)sender;
        (void)message;
        return kMessageUnknown;
    }

private:
    int32_t m_refCount = 1;
};

// Holds one reference; copying remembers, destruction forgets.
template <class T>
class SharedPointer {
public:
    SharedPointer() = default;
    // Adopts a reference the caller already holds when adopt is true.
    explicit SharedPointer(T* object, bool adopt = false) : m_object(object)
    {
        if (m_object && !adopt) m_object->remember();
    }
    SharedPointer(const SharedPointer& other) : SharedPointer(other.m_object) {}
    SharedPointer(SharedPointer&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    SharedPointer& operator=(SharedPointer other)
    {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~SharedPointer()
    {
        if (m_object) m_object->forget();
    }
    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void reset() { SharedPointer().swap(*this); }
    void swap(SharedPointer& other) { std::swap(m_object, other.m_object); }

private:
    T* m_object = nullptr;
};

template <class T, class... Args>
SharedPointer<T> makeOwned(Args&&... args)
{
    return SharedPointer<T>(new T(std::forward<Args>(args)...), true);
}

// An object others can watch: changed() sends a message to every dependent.
class IDependency {
public:
    virtual ~IDependency() = default;
    void addDependent(CBaseObject* object) { m_dependents.push_back(object); }
    void removeDependent(CBaseObject* object);
    void changed(CMessage message);

protected:
    virtual CBaseObject* dependencySender() = 0;

private:
    std::vector<CBaseObject*> m_dependents;
};
