// SPDX-License-Identifier: Apache-2.0
// velkarin-screenshot: pictures of the real windows (make screenshot).

#include "ui/screenshot/screenshot_tour.h"

int main(int argc, char* argv[]) { return velkarin::runScreenshotTour(argc, argv); }
