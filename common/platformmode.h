// The platform mode: asked once of the platform mode component by each deliverable at
// its start-up.
#pragma once

namespace dh {

// The mode the platform mode component reports, or defaultMode when the component is
// not registered, cannot be made, is not ready or fails. Never throws.
int QueryPlatformMode(int defaultMode);

} // namespace dh
