// The operations of the result table's column menu, as the window runs them.
#include "app/window_table_operations.h"

#include <QLocale>

#include "table/qt_text_collation.h"
#include "table/table_operations.h"

namespace lintaro {

namespace {

// 2377 as "2,377", as the notices write counts.
QString Count(std::int64_t count) {
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(count));
}

}  // namespace

QString ApplyColumnOperation(ColumnOperation operation, int column, ResultTable& table,
                             const std::string& base) {
    const auto data_rows = [&table] {
        return static_cast<std::int64_t>(table.RowCount() - table.FixedRowCount());
    };
    switch (operation) {
        case ColumnOperation::kDecodeEntities:
            return QStringLiteral("解码字符实体：改动 %1 格")
                .arg(Count(DecodeColumn(table, column)));
        case ColumnOperation::kResolveLinks: {
            const ResolveOutcome outcome = ResolveColumn(table, column, base);
            QString notice =
                QStringLiteral("补全相对链接：补全 %1 个").arg(Count(outcome.resolved));
            if (outcome.relative > 0) {
                notice += base.empty() ? QStringLiteral("，%1 个相对链接没有基准地址，保持原样")
                                             .arg(Count(outcome.relative))
                                       : QStringLiteral("，%1 个链接无法解析，保持原样")
                                             .arg(Count(outcome.relative));
            }
            return notice;
        }
        case ColumnOperation::kTrim:
            return QStringLiteral("整理空白：改动 %1 格").arg(Count(TrimColumn(table, column)));
        case ColumnOperation::kUnique: {
            const std::int64_t removed = KeepUniqueRows(table, column);
            return QStringLiteral("去重：删除 %1 行，余 %2 行")
                .arg(Count(removed), Count(data_rows()));
        }
        case ColumnOperation::kSort: {
            QtTextCollation collation;
            SortRows(table, column, collation);
            return QStringLiteral("排序：%1 行按此列排好").arg(Count(data_rows()));
        }
    }
    return {};
}

}  // namespace lintaro
