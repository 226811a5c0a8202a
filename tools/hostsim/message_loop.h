#pragma once

#include <vector>

// Dispatches every message waiting in this thread's queue, adding the time each took in
// milliseconds to times.
void dispatchWaitingMessages(std::vector<double>& times);

// Runs this thread's message loop for the given time, as a modal window of the host does (the
// progress window of its peak building, say): whatever is posted meanwhile is dispatched inside.
void pumpMessages(int ms);
