#include "calculator/AlgebraicMode.h"

int CAlgebraicMode::Function(int id)
{
    if (id < 0 || id > 31) return 0;
    if (id == 12 || id == 13 || id == 30) return AngleOrPercent(id);
    return ImmediateFunction(id);
}

int CAlgebraicMode::Operator(int id)
{
    return DalOperator(id, true);
}
