#include "app/help_texts.h"

#include <gtest/gtest.h>

#include "common/cp1251.h"

namespace velmora {
namespace {

std::string Line(const HelpPanelText& panel, std::size_t number) {
  return Cp1251ToUtf8(panel[number - 1]);
}

TEST(HelpTexts, TheIntroductionIsExactlyItsTwelveLines) {
  const char* const expected[kHelpTextLines] = {
      "Краткая справка по каждой команде",
      "   Здесь будет отображаться описание команд.",
      "   Редактируемая  справка  отображается при",
      "   наведении  указателя  мышки  на кнопку с",
      "   соответствующей командой.",
      "   Для редактирования справки нужно открыть",
      "   редактор  и  дважды  кликнуть  мышкой по",
      "   соответствующей   команде    в    режиме",
      "   редактирования. ",
      "   Для вывода справки по элементам управле-",
      "   ния нужно задержать указатель мыши в не-",
      "   подвижном состоянии над нужным элементом.",
  };
  const HelpPanelText& panel = OutHelpHelp();
  for (std::size_t i = 0; i < kHelpTextLines; ++i) {
    EXPECT_EQ(Cp1251ToUtf8(panel[i]), expected[i]) << "line " << i + 1;
  }
  // One byte a character: the trailing blank of line 9 is its 19th byte.
  EXPECT_EQ(panel[8], "   \xF0\xE5\xE4\xE0\xEA\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xFF. ");
}

TEST(HelpTexts, TheTitlesComeInTheOrderOfTheTopicControls) {
  const char* const titles[kHelpTopicCount] = {
      "Создание соединения",
      "Сканирование доступных COM-портов",
      "Автосоединение с COM-портом",
      "Время накопления принимаемых данных",
      "Фильрация сообщений лога",
      "Отправка команд вручную",
      "Отправка команд при выборе",
      "Отправка команды после ответа",
      "Периодическая отправка команд",
      "Отправка команд после соединения",
      "Консольная строка",
      "Хвост пакета",
      "Циклическая отправка",
  };
  for (int k = 0; k < kHelpTopicCount; ++k) {
    EXPECT_EQ(Cp1251ToUtf8(HelpTopicTitle(static_cast<HelpTopic>(k))), titles[k]) << "topic " << k;
  }
}

TEST(HelpTexts, TheConnectTopicIsItsTitleAndElevenLinesOfThreeBlanks) {
  const HelpPanelText& panel = OutHelpConnect();
  EXPECT_EQ(Line(panel, 1), "Создание соединения");
  for (std::size_t line = 2; line <= kHelpTextLines; ++line) EXPECT_EQ(panel[line - 1], "   ");
}

TEST(HelpTexts, BodyLinesWithoutTextHoldThreeBlanksAndTheCyclicTopicsLastSixTwo) {
  EXPECT_EQ(OutHelpRescan()[1], "   ");
  EXPECT_EQ(OutHelpAutoConnect()[6], "   ");
  EXPECT_EQ(OutHelpModeManual()[11], "   ");
  EXPECT_EQ(OutHelpModeAfterAns()[6], "   ") << "line 7 between two paragraphs";
  const HelpPanelText& cyclic = OutHelpCiklSend();
  EXPECT_EQ(cyclic[1], "   ");
  EXPECT_EQ(Line(cyclic, 6), "  команды.");
  for (std::size_t line = 7; line <= kHelpTextLines; ++line) EXPECT_EQ(cyclic[line - 1], "  ");
}

TEST(HelpTexts, QuotesAreAsciiAndBackslashesAreLiteral) {
  EXPECT_EQ(Line(OutHelpModeManual(), 4), "   Enter или кнопки \"Отправить\"");
  EXPECT_EQ(Line(OutHelpForConnect(), 10), "   \"После ответа\" или \"Период, мс\"");
  EXPECT_EQ(Line(OutHelpAddConsol(), 6), "   например: $0D$0A - добавлять \\r\\n.");
  EXPECT_EQ(Line(OutHelpAddConsol(), 12), "   например: \"*[XOR_8(1..n)]$0D$0A\"");
  EXPECT_EQ(Line(OutHelpConsol(), 8), "   \"Стрелка вниз\" - показать ранее  отправ-");
}

TEST(HelpTexts, MisspellingsAndDoubledBlanksAreKept) {
  EXPECT_EQ(Line(OutHelpRescan(), 5), "   от имени пользователя, то Windos может не");
  EXPECT_EQ(Line(OutHelpTimeRX(), 7), "   возможность  задать  максималльное время");
  EXPECT_EQ(Line(OutHelpFiltr(), 3), "   Здесь задаётся набор символов,по которым");
  EXPECT_EQ(Line(OutHelpModeAfterAns(), 5), "   ответа ответа на предыдущую команду  или");
  EXPECT_EQ(Line(OutHelpTimeRX(), 11), "   наков разделения пакетов");
}

}  // namespace
}  // namespace velmora
