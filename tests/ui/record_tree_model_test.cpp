#include "model/project_document.h"
#include "ui/app/record_tree_model.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <set>

namespace zpak::ui::test {
namespace {

// The groups of a document and their entries, each row its record's name.
class NamesModel final : public RecordTreeModel<GroupInfo, FileInfo> {
public:
    explicit NamesModel(ProjectDocument& document)
        : RecordTreeModel(document.groups, &GroupInfo::files, nullptr)
    {
    }

    std::vector<const FileInfo*> forgotten;

protected:
    QVariant ParentData(const GroupInfo& group, int role) const override { return Name(group, role); }
    QVariant ChildData(const FileInfo& file, int role) const override { return Name(file, role); }
    void Forget(const FileInfo& file) override { forgotten.push_back(&file); }

private:
    static QVariant Name(const ProjectNode& record, int role)
    {
        return role == Qt::DisplayRole ? QVariant(QString::fromStdString(record.NameText())) : QVariant();
    }
};

// The rows as "group: entry entry", one string per group.
QStringList Rows(const QAbstractItemModel& model)
{
    QStringList rows;
    for (int g = 0; g < model.rowCount(); ++g) {
        const QModelIndex group = model.index(g, 0);
        QString row = group.data().toString() + QStringLiteral(":");
        for (int f = 0; f < model.rowCount(group); ++f)
            row += QLatin1Char(' ') + model.index(f, 0, group).data().toString();
        rows << row;
    }
    return rows;
}

std::vector<std::unique_ptr<FileInfo>> Entries(std::initializer_list<const char*> names)
{
    std::vector<std::unique_ptr<FileInfo>> entries;
    for (const char* name : names)
        entries.push_back(std::make_unique<FileInfo>(name));
    return entries;
}

class RecordTreeModelTest : public ::testing::Test {
protected:
    RecordTreeModelTest()
    {
        for (const char* name : {"A", "B"})
            doc.groups.push_back(std::make_unique<GroupInfo>(name));
        doc.groups[0]->AddFile("a1");
        doc.groups[0]->AddFile("a2");
        model.Reload();
    }

    ~RecordTreeModelTest() override
    {
        qInstallMessageHandler(previous);
        EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
        failures.clear();
    }

    static void Collect(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        if (text.contains(QStringLiteral("FAIL")))
            failures << text;
    }

    static inline QStringList failures;
    ProjectDocument doc;
    NamesModel model{doc};
    // Qt's own checks of the model, run on every signal it sends; they warn
    // of what they find.
    QtMessageHandler previous = qInstallMessageHandler(Collect);
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(RecordTreeModelTest, InsertsTakesAndChangesRecordsAsTheViewSeesThem)
{
    ASSERT_EQ(Rows(model), QStringList({"A: a1 a2", "B:"}));

    GroupInfo& middle = model.InsertParent(std::make_unique<GroupInfo>("M"), 1);
    const std::vector<FileInfo*> added = model.InsertChildren(middle, Entries({"m1", "m2"}));
    model.InsertChildren(*doc.groups[0], Entries({"a0"}), 0);
    EXPECT_EQ(Rows(model), QStringList({"A: a0 a1 a2", "M: m1 m2", "B:"}));
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(model.IndexOf(*added[1]), model.index(1, 0, model.index(1, 0)));
    EXPECT_EQ(model.ParentOf(*added[1]), &middle);

    std::unique_ptr<FileInfo> a1 = model.TakeChild(*doc.groups[0]->files[1]);
    ASSERT_NE(a1, nullptr);
    EXPECT_EQ(model.forgotten, std::vector<const FileInfo*>{a1.get()});
    std::unique_ptr<GroupInfo> taken = model.TakeParent(middle);
    EXPECT_EQ(Rows(model), QStringList({"A: a0 a2", "B:"}));
    EXPECT_EQ(model.forgotten.size(), 3u);         // with the entries of the group
    EXPECT_EQ(model.TakeParent(*taken), nullptr);  // no longer in the tree

    // What was taken goes back, as an undo puts it.
    model.InsertParent(std::move(taken), 0);
    std::vector<std::unique_ptr<FileInfo>> back;
    back.push_back(std::move(a1));
    model.InsertChildren(*doc.groups[1], std::move(back), 1);
    EXPECT_EQ(Rows(model), QStringList({"M: m1 m2", "A: a0 a1 a2", "B:"}));

    doc.groups[1]->files[2]->SetName("a2 renamed");
    model.Changed(*doc.groups[1]->files[2]);
    EXPECT_EQ(model.index(2, 0, model.index(1, 0)).data().toString(), "a2 renamed");
    model.Reload();
    EXPECT_EQ(Rows(model), QStringList({"M: m1 m2", "A: a0 a1 a2 renamed", "B:"}));
}

// Each row is found again by its record's handle, unique across both levels,
// also for records inserted after the tree was shown.
TEST_F(RecordTreeModelTest, HandlesNameOneRowEach)
{
    GroupInfo& added = model.InsertParent(std::make_unique<GroupInfo>("C"));
    model.InsertChildren(added, Entries({"c1"}));
    std::set<ViewHandle> seen;
    for (const auto& group : doc.groups) {
        EXPECT_EQ(model.IndexOfHandle(group->viewHandle), model.IndexOf(*group));
        seen.insert(group->viewHandle);
        for (const auto& file : group->files) {
            EXPECT_EQ(model.IndexOfHandle(file->viewHandle), model.IndexOf(*file));
            seen.insert(file->viewHandle);
        }
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen.count(0), 0u);
    EXPECT_FALSE(model.IndexOfHandle(0).isValid());
}

}  // namespace
}  // namespace zpak::ui::test
