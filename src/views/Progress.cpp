#include "Progress.h"

void TProgress::Report(int min, int max, int position)
{
    if (max <= min)
        return;
    const int percent = int((long long)(position - min) * 100 / ((long long)max - min));
    if (percent == m_last)
        return;
    m_last = percent;
    m_sink(min, max, position);
}
