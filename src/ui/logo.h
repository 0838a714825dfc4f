#pragma once
// The splash banner that fades out after start-up.

namespace pekto {

// Shows the splash without waiting for it; it closes and destroys itself after its fade.
void ShowSplash();

}  // namespace pekto
