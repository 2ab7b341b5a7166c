#pragma once
// Widgets need an application; the test program's own main makes one for the whole run.
#include <QApplication>

namespace client::testing {

// Kept as a first base class of widget fixtures, so that no fixture is made before the
// application by mistake.
struct WithApplication {
  WithApplication() { Q_ASSERT(QApplication::instance() != nullptr); }
};

}  // namespace client::testing
