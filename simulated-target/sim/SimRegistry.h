// The objects that a stand-in has handed out and not yet taken back. A
// release of a pointer that it did not hand out, or has already taken
// back, is refused instead of freed twice; whatever the caller never
// released is freed with the registry, when the library unloads.
#pragma once

#include "SimTarget.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace k4xsim {

template <typename T>
class SimRegistry {
public:
    T* Add(std::unique_ptr<T> object)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_objects.push_back(std::move(object));
        return m_objects.back().get();
    }

    // The held object at `object`, or null for one not handed out.
    template <typename Base>
    T* Find(const Base* object)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find_if(m_objects.begin(), m_objects.end(),
                                     [object](const std::unique_ptr<T>& held) { return held.get() == object; });
        return it == m_objects.end() ? nullptr : it->get();
    }

    // `object` may point to a base of T.
    template <typename Base>
    bool Remove(const Base* object)
    {
        std::unique_ptr<T> removed;  // freed after the lock is given up
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find_if(m_objects.begin(), m_objects.end(),
                                     [object](const std::unique_ptr<T>& held) { return held.get() == object; });
        if (object == nullptr || it == m_objects.end()) return false;
        removed = std::move(*it);
        m_objects.erase(it);
        return true;
    }

    // Counts call and hands out a new T for a reachable target unless the
    // target injects a throw or a null result into call.
    T* Create(SimCall call, SimTarget target)
    {
        CountCall(call);
        ThrowIfInjected(target.faults, call);
        if (!target.reachable || NullInjected(target.faults, call)) return nullptr;
        return Add(std::make_unique<T>(std::move(target)));
    }

    // Counts call and takes object back; an injected throw keeps the object
    // until the library unloads. False for an object not handed out.
    template <typename Base>
    bool Release(SimCall call, const Base* object)
    {
        CountCall(call);
        if (const T* held = Find(object)) ThrowIfInjected(held->Target().faults, call);
        return Remove(object);
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<T>> m_objects;
};

}  // namespace k4xsim
