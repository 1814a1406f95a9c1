#pragma once

#include "common/bytes.h"
#include "common/clock.h"

namespace velmora {

// The clock label's text: "HH:mm:ss", 24-hour and zero-padded, whatever the
// locale, without a time zone ("23:59:59"). A 12-hour format with "PM" or a
// zone name would not fit the 54-pixel label.
Bytes ClockText(const LocalTime& t);

// Milliseconds from `t` to the next whole second (1..1000), for the clock's
// own single-shot timer: the label changes when the second does, and the
// timer sleeps in between. At x.000 the next whole second is a full second
// away (the text for x has just been shown).
int MsToNextWholeSecond(const LocalTime& t);

}  // namespace velmora
