// Windows made at start but seldom shown (the shell's shared windows) build
// their children the first time they are needed instead: when shown, or when
// a caller first reaches for one of them. Such a window keeps a LazyContent,
// calls ensureBuilt() from setVisible(true) and from every public member
// that touches its children, and so looks to its callers exactly like one
// built in its constructor. Content::Now (the default of those windows)
// builds at the end of the constructor, as a window made on its own expects.
#pragma once

#include <functional>

namespace koru {

enum class Content { Now, OnFirstShow };

class LazyContent
{
public:
    explicit LazyContent(std::function<void()> build) : m_build(std::move(build)) {}
    LazyContent(const LazyContent &) = delete;
    LazyContent &operator=(const LazyContent &) = delete;

    // Builds once; a call made while building (an accessor the build itself
    // uses) finds it under way and returns.
    void ensureBuilt() const
    {
        if (!m_build)
            return;
        const std::function<void()> build = std::move(m_build);
        m_build = nullptr;
        build();
    }
    bool isBuilt() const { return !m_build; }

private:
    mutable std::function<void()> m_build;
};

} // namespace koru
