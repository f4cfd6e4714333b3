#pragma once

// Installs the "qt_", "qtbase_" and "orblive_" catalogues for the system language from the
// "translations" folder of the working directory; missing ones are logged and skipped.
void loadTranslations();
