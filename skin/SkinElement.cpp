#include "skin/SkinElement.h"

#include <cmath>

namespace orvel {

bool SkinElement::scaleDiffers() const {
  return std::fabs(static_cast<double>(m_scale) - 1.0) > 0.000001;
}

}  // namespace orvel
