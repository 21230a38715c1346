#include "app/materiallimit.h"

#include "app/prompter.h"

namespace tessaro::app {

namespace {

QString headline() { return QStringLiteral("选择原料最多不能超过%1种。").arg(core::kMaxMaterials) + kCR + kCR; }

// What the choice would come to, and that it does not count.
QString choiceText(const QString& had, int inTable, int selected) {
  return had + QString::number(inTable) + QStringLiteral("种。") + kCR + QStringLiteral("本次选择的新原料有") +
         QString::number(selected) + QStringLiteral("种。") + kCR + kCR + QStringLiteral("你选择的原料将共有") +
         QString::number(inTable + selected) + QStringLiteral("种。") + kCR + kCR + QStringLiteral("本次选择失效!");
}

}  // namespace

QString singleLimitText(int inTable) { return headline() + choiceText(QStringLiteral("你选择的原料己有"), inTable, 1); }

QString batchLimitText(int inTable, int selected) {
  return headline() + choiceText(QStringLiteral("你曾选择的原料己有"), inTable, selected);
}

QString calculationLimitText(int inTable) {
  return headline() + QStringLiteral("表1中的原料有%1种。").arg(inTable) + kCR + kCR +
         QStringLiteral("请删除多余的原料后再计算！");
}

}  // namespace tessaro::app
