#pragma once
// Algebraic: operators wait for "=" and the engine applies precedence;
// functions act at once on the shown number.
#include "calculator/DalMode.h"

class CAlgebraicMode : public CDalMode {
public:
    int Function(int id) override;
    int Operator(int id) override;
};
