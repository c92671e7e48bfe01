// The process entry of QovraBox.exe. Everything it does lives in app/ so that tests
// can run the same start-up on the headless toolkit.
#include "app/box.h"

int main() { return qovra::app::runBox(); }
