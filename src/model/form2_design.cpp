// The modelling window's design stage: the refresh of the preview.
#include "app/form2.h"

void Form2::Grnd() {
  canvas().clear();
  if (model.n_gr < 1) return;
}
