#include "app/gridhints.h"

#include "app/gridcolumns.h"

namespace tessaro::app {

namespace {
constexpr int kIndicator = kRowIndicatorWidth;
}

PointerHint formulaGridHint(int x, int w0, int w1, int w3) {
  if (kIndicator < x && x < w0 + kIndicator) return {QStringLiteral("原料名称"), PointerCursor::Hand};
  if (w0 + kIndicator < x && x < w0 + 2 * w1 + kIndicator)
    return {QStringLiteral("含灼减的配方配比(%),是所求的配方结果!!!"), PointerCursor::Default};
  if (w0 + 2 * w1 + kIndicator < x && x < w0 + 2 * w1 + 3 * w3 + kIndicator)
    return {QStringLiteral("必选：是配方必须选用的原料。双击该行使之显示【 选 】，在下面的表２的同列【 用量 】中输入用量，"
                           "并点表２中的【 √ 】加以确认。"),
            PointerCursor::Drag};
  return {QStringLiteral("配方配比和原料化学组成表（表1）"), PointerCursor::Default};
}

PointerHint targetGridHint(int x, int w0, int w1) {
  if (kIndicator < x && x < w0 + kIndicator) return {QStringLiteral("目标配方名称"), PointerCursor::Hand};
  if (w0 + kIndicator < x && x < w0 + 3 * w1 + kIndicator)
    return {QStringLiteral("用量：是配方中必选原料的用量（%），其原料的名称是表1中必选栏显示【 选 】所对应的原料。"),
            PointerCursor::Drag};
  return {QStringLiteral("目标配方化学组成表（表2）"), PointerCursor::Default};
}

}  // namespace tessaro::app
