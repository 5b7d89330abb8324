#pragma once

#include <mutex>
#include <utility>
#include <vector>

// Things worth keeping between uses (opened encoders, large buffers), shared by threads:
// large blocks go back to the system when freed, and making them anew costs more than the
// work done with them.
template <typename T> class ReusePool
{
public:
    // A kept thing, or make()'s when none is kept.
    template <typename Make> T take(Make make)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_kept.empty()) {
                T thing = std::move(m_kept.back());
                m_kept.pop_back();
                return thing;
            }
        }
        return make();
    }

    void give(T thing)
    {
        const std::lock_guard lock(m_mutex);
        m_kept.push_back(std::move(thing));
    }

private:
    std::mutex m_mutex;
    std::vector<T> m_kept;
};
