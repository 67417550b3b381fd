// Marulla: starts with the start-up window; the data files live in the current directory.
#include <QApplication>
#include <QMessageBox>

#include "formats/errors.h"
#include "formats/fields.h"
#include "app/forms.h"

int main(int argc, char** argv) {
  ignore_file_size_signal();  // a write past the file-size limit fails, it does not end the program
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  set_error_reporter([](const std::string& message) {
    QMessageBox::critical(nullptr, "MARULLA", QString::fromStdString(message));
  });
  Forms::show("frmSplash");
  return app.exec();
}
