#include "app/help_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

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

// Every written line of every panel, as the window must show it; the body
// lines not listed hold three blanks (two in the last six of the cyclic topic).
struct WrittenLine {
  const HelpPanelText& (*panel)();
  const char* name;
  std::size_t line;
  const char* text;
};

TEST(HelpTexts, EveryWrittenLineOfEveryPanelIsExact) {
  const std::vector<WrittenLine> rows = {
      {OutHelpHelp, "OutHelpHelp", 1, "Краткая справка по каждой команде"},
      {OutHelpHelp, "OutHelpHelp", 2, "   Здесь будет отображаться описание команд."},
      {OutHelpHelp, "OutHelpHelp", 3, "   Редактируемая  справка  отображается при"},
      {OutHelpHelp, "OutHelpHelp", 4, "   наведении  указателя  мышки  на кнопку с"},
      {OutHelpHelp, "OutHelpHelp", 5, "   соответствующей командой."},
      {OutHelpHelp, "OutHelpHelp", 6, "   Для редактирования справки нужно открыть"},
      {OutHelpHelp, "OutHelpHelp", 7, "   редактор  и  дважды  кликнуть  мышкой по"},
      {OutHelpHelp, "OutHelpHelp", 8, "   соответствующей   команде    в    режиме"},
      {OutHelpHelp, "OutHelpHelp", 9, "   редактирования. "},
      {OutHelpHelp, "OutHelpHelp", 10, "   Для вывода справки по элементам управле-"},
      {OutHelpHelp, "OutHelpHelp", 11, "   ния нужно задержать указатель мыши в не-"},
      {OutHelpHelp, "OutHelpHelp", 12, "   подвижном состоянии над нужным элементом."},
      {OutHelpConnect, "OutHelpConnect", 1, "Создание соединения"},
      {OutHelpRescan, "OutHelpRescan", 1, "Сканирование доступных COM-портов"},
      {OutHelpRescan, "OutHelpRescan", 3, "   Алгоритм берёт список доступных портов из"},
      {OutHelpRescan, "OutHelpRescan", 4, "   реестра Windows.  Если программа запущена"},
      {OutHelpRescan, "OutHelpRescan", 5, "   от имени пользователя, то Windos может не"},
      {OutHelpRescan, "OutHelpRescan", 6, "   дать  список  портов, в этом случае нужно"},
      {OutHelpRescan, "OutHelpRescan", 7, "   выбрать нужный порт из выпадающего списка"},
      {OutHelpRescan, "OutHelpRescan", 8, "   вручную."},
      {OutHelpRescan, "OutHelpRescan", 9, "   Используемая   библиотека    поддерживает"},
      {OutHelpRescan, "OutHelpRescan", 10, "   работу   только  с  портами   COM1..COM9,"},
      {OutHelpRescan, "OutHelpRescan", 11, "   поэтому   при    необходимости    следует"},
      {OutHelpRescan, "OutHelpRescan", 12, "   переназначить имя в настройках COM-порта."},
      {OutHelpAutoConnect, "OutHelpAutoConnect", 1, "Автосоединение с COM-портом"},
      {OutHelpAutoConnect, "OutHelpAutoConnect", 3, "   Данная  опция  актуальна  для эмуляторов"},
      {OutHelpAutoConnect, "OutHelpAutoConnect", 4, "   COM-порта, когда возможно временное про-"},
      {OutHelpAutoConnect, "OutHelpAutoConnect", 5, "   падание порта в системе:  перезапуск  МК"},
      {OutHelpAutoConnect, "OutHelpAutoConnect", 6, "   или переподключение переходника USB-COM"},
      {OutHelpTimeRX, "OutHelpTimeRX", 1, "Время накопления принимаемых данных"},
      {OutHelpTimeRX, "OutHelpTimeRX", 3, "   При получении длинных сообщений возможна"},
      {OutHelpTimeRX, "OutHelpTimeRX", 4, "   фрагментация принимаемых пакетов и вывод"},
      {OutHelpTimeRX, "OutHelpTimeRX", 5, "   данных частями в разных строках лога."},
      {OutHelpTimeRX, "OutHelpTimeRX", 6, "   Для  исключения  данной   ситуации  есть"},
      {OutHelpTimeRX, "OutHelpTimeRX", 7, "   возможность  задать  максималльное время"},
      {OutHelpTimeRX, "OutHelpTimeRX", 8, "   накопления данных в приёмном буфере."},
      {OutHelpTimeRX, "OutHelpTimeRX", 9, "   Данная настройка  актуальна при работе с"},
      {OutHelpTimeRX, "OutHelpTimeRX", 10, "   бинарными данными, когда нет явных приз-"},
      {OutHelpTimeRX, "OutHelpTimeRX", 11, "   наков разделения пакетов"},
      {OutHelpFiltr, "OutHelpFiltr", 1, "Фильрация сообщений лога"},
      {OutHelpFiltr, "OutHelpFiltr", 3, "   Здесь задаётся набор символов,по которым"},
      {OutHelpFiltr, "OutHelpFiltr", 4, "   фильруются  выводимые  сообщения в логе."},
      {OutHelpFiltr, "OutHelpFiltr", 5, "   Если  окно   пустое,  то  выводятся  все"},
      {OutHelpFiltr, "OutHelpFiltr", 6, "   данные,  отправляемые  и  получаемые  по"},
      {OutHelpFiltr, "OutHelpFiltr", 7, "   COM-порту."},
      {OutHelpFiltr, "OutHelpFiltr", 8, "   Данную  возможность  удобно использовать"},
      {OutHelpFiltr, "OutHelpFiltr", 9, "   для захвата нужных данных в т.ч. и в би-"},
      {OutHelpFiltr, "OutHelpFiltr", 10, "   нарном режиме."},
      {OutHelpModeManual, "OutHelpModeManual", 1, "Отправка команд вручную"},
      {OutHelpModeManual, "OutHelpModeManual", 3, "   Команда будет  отправляться  по  нажатию"},
      {OutHelpModeManual, "OutHelpModeManual", 4, "   Enter или кнопки \"Отправить\""},
      {OutHelpModeSel, "OutHelpModeSel", 1, "Отправка команд при выборе"},
      {OutHelpModeSel, "OutHelpModeSel", 3, "   Команда будет  отправляться  по  нажатию"},
      {OutHelpModeSel, "OutHelpModeSel", 4, "   соответствующей  кнопки  с  макросом или"},
      {OutHelpModeSel, "OutHelpModeSel", 5, "   при  выборе команды в списке прочитанных"},
      {OutHelpModeSel, "OutHelpModeSel", 6, "   из файла."},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 1, "Отправка команды после ответа"},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 3,
       "   Содержимое консольной строки будет  отп-"},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 4,
       "   равляться  сразу   же   после  получения"},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 5,
       "   ответа ответа на предыдущую команду  или"},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 6, "   после получения каких-либо данных."},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 8,
       "   При отправке команд из файла после ответа"},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 9,
       "   на  предыдущую  команду  будет отправлена"},
      {OutHelpModeAfterAns, "OutHelpModeAfterAns", 10, "   следующая по списку команда."},
      {OutHelpModePeriod, "OutHelpModePeriod", 1, "Периодическая отправка команд"},
      {OutHelpModePeriod, "OutHelpModePeriod", 3, "   Содержимое   консольной   строки   будет"},
      {OutHelpModePeriod, "OutHelpModePeriod", 4, "   отправляться с указанной периодичностью."},
      {OutHelpForConnect, "OutHelpForConnect", 1, "Отправка команд после соединения"},
      {OutHelpForConnect, "OutHelpForConnect", 3, "   Если выбрана данная опция,  то  отправка"},
      {OutHelpForConnect, "OutHelpForConnect", 4, "   команд  начнётся  сразу  после  создания"},
      {OutHelpForConnect, "OutHelpForConnect", 5, "   соединения. Алгоритм отправки зависит от"},
      {OutHelpForConnect, "OutHelpForConnect", 6, "   выбранного режима: возможна отправка как"},
      {OutHelpForConnect, "OutHelpForConnect", 7, "   одной команды  в ручном  режиме,  так  и"},
      {OutHelpForConnect, "OutHelpForConnect", 8, "   последовательности команд из файла, если"},
      {OutHelpForConnect, "OutHelpForConnect", 9, "   открыт файл с командами  и выбран  режим"},
      {OutHelpForConnect, "OutHelpForConnect", 10, "   \"После ответа\" или \"Период, мс\""},
      {OutHelpConsol, "OutHelpConsol", 1, "Консольная строка"},
      {OutHelpConsol, "OutHelpConsol", 3, "   Набор отправляемых данных формируется из"},
      {OutHelpConsol, "OutHelpConsol", 4, "   содержимого   данной   и  дополнительной"},
      {OutHelpConsol, "OutHelpConsol", 5, "   строки."},
      {OutHelpConsol, "OutHelpConsol", 6, "   ENTER - отправка команды;"},
      {OutHelpConsol, "OutHelpConsol", 7, "   ESC - очистка строки;"},
      {OutHelpConsol, "OutHelpConsol", 8, "   \"Стрелка вниз\" - показать ранее  отправ-"},
      {OutHelpConsol, "OutHelpConsol", 9, "   ленные команды."},
      {OutHelpConsol, "OutHelpConsol", 10, "   Также содержимое строки меняется при на-"},
      {OutHelpConsol, "OutHelpConsol", 11, "   жатии  кнопки  соответствующего  макроса"},
      {OutHelpConsol, "OutHelpConsol", 12, "   во всех режимах, кроме \"При выборе\""},
      {OutHelpAddConsol, "OutHelpAddConsol", 1, "Хвост пакета"},
      {OutHelpAddConsol, "OutHelpAddConsol", 3, "   Содержимое добавляется ко всем командам,"},
      {OutHelpAddConsol, "OutHelpAddConsol", 4, "   отправляемым в порт."},
      {OutHelpAddConsol, "OutHelpAddConsol", 5, "   $XX - добавить HEX-число в ASCII-режиме,"},
      {OutHelpAddConsol, "OutHelpAddConsol", 6, "   например: $0D$0A - добавлять \\r\\n."},
      {OutHelpAddConsol, "OutHelpAddConsol", 7, "   В бинарном  режиме  можно записывать без"},
      {OutHelpAddConsol, "OutHelpAddConsol", 8, "   символа \"$\",но между числами должен быть"},
      {OutHelpAddConsol, "OutHelpAddConsol", 9, "   пробел."},
      {OutHelpAddConsol, "OutHelpAddConsol", 10, "   Также можно добавлять в  хвост сообщения"},
      {OutHelpAddConsol, "OutHelpAddConsol", 11, "   шаблон,  содержащий  контрольную  сумму,"},
      {OutHelpAddConsol, "OutHelpAddConsol", 12, "   например: \"*[XOR_8(1..n)]$0D$0A\""},
      {OutHelpCiklSend, "OutHelpCiklSend", 1, "Циклическая отправка"},
      {OutHelpCiklSend, "OutHelpCiklSend", 3, "  Команды из файла отправляются  циклически,"},
      {OutHelpCiklSend, "OutHelpCiklSend", 4, "  т.е. после достижения конца файла отправка"},
      {OutHelpCiklSend, "OutHelpCiklSend", 5, "  команд начинается заново, начиная с первой"},
      {OutHelpCiklSend, "OutHelpCiklSend", 6, "  команды."},
  };
  for (const WrittenLine& row : rows) {
    EXPECT_EQ(Line(row.panel(), row.line), row.text) << row.name << " line " << row.line;
  }
  for (const auto& [panel, name] : std::vector<std::pair<const HelpPanelText& (*)(), const char*>>{
           {OutHelpHelp, "OutHelpHelp"},
           {OutHelpConnect, "OutHelpConnect"},
           {OutHelpRescan, "OutHelpRescan"},
           {OutHelpAutoConnect, "OutHelpAutoConnect"},
           {OutHelpTimeRX, "OutHelpTimeRX"},
           {OutHelpFiltr, "OutHelpFiltr"},
           {OutHelpModeManual, "OutHelpModeManual"},
           {OutHelpModeSel, "OutHelpModeSel"},
           {OutHelpModeAfterAns, "OutHelpModeAfterAns"},
           {OutHelpModePeriod, "OutHelpModePeriod"},
           {OutHelpForConnect, "OutHelpForConnect"},
           {OutHelpConsol, "OutHelpConsol"},
           {OutHelpAddConsol, "OutHelpAddConsol"},
           {OutHelpCiklSend, "OutHelpCiklSend"},
       }) {
    for (std::size_t line = 2; line <= kHelpTextLines; ++line) {
      const bool written = std::any_of(rows.begin(), rows.end(), [&](const WrittenLine& row) {
        return row.panel == panel && row.line == line;
      });
      if (written) continue;
      const bool cyclicTail = panel == &OutHelpCiklSend && line >= 7;
      EXPECT_EQ(panel()[line - 1], cyclicTail ? "  " : "   ") << name << " line " << line;
    }
  }
}

}  // namespace
}  // namespace velmora
