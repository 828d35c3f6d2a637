// SPDX-License-Identifier: MIT
// How plover-cli answers the questions it asks: from the terminal, from the lines of the
// standard input when there is no terminal, or Yes to all with --yes. An OPML list of 201
// channels asks once, after the 200th channel, whether to go on.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/DataSession.h"
#include "support/ManualEventLoop.h"
#include "support/ProgramRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

using testsupport::ProgramRun;

constexpr int kListChannels = 201;

std::string LongList() {
  std::string opml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.1\">\n<head><title>大量</title></head>\n<body>\n";
  for (int i = 1; i <= kListChannels; ++i) {
    const std::string number = std::to_string(i);
    opml += "<outline text=\"c" + number + "\" xmlUrl=\"http://example.jp/" + number + ".xml\"/>\n";
  }
  return opml + "</body>\n</opml>\n";
}

// The first line of the question after the 200th channel.
const std::string kCountQuestion = "OPMLによる追加の登録件数が 200 件になりました。";

struct AnswerCase {
  const char* name;
  std::optional<std::string> input;  // the standard input; none: /dev/null
  bool yesOption;
  int imported;
};

class QuestionAnswer : public ::testing::TestWithParam<AnswerCase> {
 protected:
  QuestionAnswer() { testsupport::WriteFile(dir / "list.opml", LongList()); }

  ProgramRun Import(const AnswerCase& c) {
    std::vector<std::string> arguments{"import-opml", dir / "list.opml", "--data", dir.Path()};
    if (c.yesOption) arguments.insert(arguments.begin(), "--yes");
    if (!c.input) return testsupport::RunProgram(PLOVER_CLI, arguments);
    return testsupport::RunProgramWithInput(PLOVER_CLI, arguments, *c.input);
  }

  // The channels the data folder holds now.
  size_t SavedChannels() {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(dir.Path(), loop, dialogs);
    EXPECT_TRUE(session.Open(app::DataAccess::kReadOnly));
    size_t channels = 0;
    for (store::TTreeNodeExt* node = session.Tree().RootNode(); node != nullptr; node = session.Tree().NextNode(node)) {
      if (store::IsChannelKind(node->Kind())) ++channels;
    }
    return channels;
  }

  testsupport::TempDir dir;
};

TEST_P(QuestionAnswer, TheAnswerDecidesWhetherTheImportGoesOn) {
  const AnswerCase& c = GetParam();
  const ProgramRun run = Import(c);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::to_string(c.imported) + " 件のチャンネルを追加しました (グループ「大量」)\n");
  EXPECT_EQ(SavedChannels(), static_cast<size_t>(c.imported));
  // The question is printed once, whoever answers it.
  const size_t question = run.err.find(kCountQuestion);
  ASSERT_NE(question, std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(kCountQuestion, question + 1), std::string::npos) << run.err;
}

const AnswerCase kAnswerCases[] = {
    {"EndOfInputIsNo", std::nullopt, false, 200},
    {"EmptyInputIsNo", "", false, 200},
    {"y", "y\n", false, 201},
    {"yes", "yes\n", false, 201},
    {"YesInCapitalsWithCrLf", "YES\r\n", false, 201},
    {"YesWithSpaces", "  y \n", false, 201},
    {"Hai", "はい\n", false, 201},
    {"n", "n\n", false, 200},
    {"no", "no\n", false, 200},
    {"Iie", "いいえ\n", false, 200},
    {"EmptyLineTakesTheDefaultButton", "\n", false, 201},
    {"AnyOtherWordIsNo", "yeah\n", false, 200},
    {"YesOption", std::nullopt, true, 201},
    {"YesOptionReadsNothing", "n\n", true, 201},
};

INSTANTIATE_TEST_SUITE_P(Answers, QuestionAnswer, ::testing::ValuesIn(kAnswerCases),
                         [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

// --yes lets a script import a list of any length in one go; the question and the answer
// given are logged on the standard error.
TEST(QuestionAnswerOption, ImportsAllChannelsOfALongListAndTellsTheAnswer) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "list.opml", LongList());
  const ProgramRun run =
      testsupport::RunProgram(PLOVER_CLI, {"import-opml", dir / "list.opml", "--data", dir.Path(), "--yes"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "201 件のチャンネルを追加しました (グループ「大量」)\n");
  EXPECT_NE(run.err.find("継続する場合は[はい] 中止する場合は[キャンセル]を選択してください。\n[Y/n] y\n"),
            std::string::npos)
      << run.err;

  // A command that never asks takes the option as well.
  const ProgramRun list = testsupport::RunProgram(PLOVER_CLI, {"--yes", "list", "--data", dir.Path()});
  EXPECT_EQ(list.status, 0) << list.err;
}

}  // namespace
