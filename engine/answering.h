#pragma once

// Answering a question: the pointer feedback, the single-answer check by the
// activated answer button, the switches and the confirmed multiple choice,
// the lamp intervals and the help reveal are RunEngine's handlers
// (answering.cpp); the colours they give are colouring.h's.
#include "engine/colouring.h"
#include "engine/run_engine.h"
