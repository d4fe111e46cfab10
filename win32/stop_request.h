// How a gathering is told to stop, and what a wait that it ended gives.
#pragma once

namespace orva {

// A manual-reset event (a HANDLE) that is set once every wait of a gathering
// must end; null for a wait that nothing stops.
using StopRequest = void*;

// A wait that its stop request ended: a result of its own, never a lack of output.
struct Stopped {};

}  // namespace orva
