#pragma once
// Progress of a long loop, passed to whoever listens (the window's gauge) only when the whole
// percentage changes, so a loop of millions of items costs a hundred calls at most, and nothing when
// nobody listens.

#include <functional>

class TProgress
{
public:
    using Sink = std::function<void(int min, int max, int position)>;

    TProgress() = default;
    explicit TProgress(Sink sink) : m_sink(std::move(sink)) {}

    void operator()(int min, int max, int position)
    {
        if (m_sink)
            Report(min, max, position);
    }

private:
    void Report(int min, int max, int position);

    Sink m_sink;
    int m_last = -1;
};
