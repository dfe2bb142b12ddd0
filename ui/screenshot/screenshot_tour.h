// SPDX-License-Identifier: Apache-2.0
#pragma once

// make screenshot: drives the real windows on a virtual screen through the
// worked examples, the diagram and the late blow, and saves their pictures.

namespace velkarin {

// velkarin-screenshot <folder>; returns 0 when every picture was taken and
// every window was whole on the screen.
int runScreenshotTour(int argc, char* argv[]);

}  // namespace velkarin
