#include "app/help_texts.h"

#include "common/cp1251.h"

namespace velmora {
namespace {

using Utf8Panel = std::array<const char*, kHelpTextLines>;

// The introduction first, then the topics in the order of HelpTopic. The
// doubled blanks, the trailing blank of the introduction's line 9, the
// hyphenations and the misspellings are part of the texts. Body lines
// without text hold three blanks, the last six of the cyclic-sending topic
// two.
constexpr std::array<Utf8Panel, 1 + kHelpTopicCount> kPanels = {{
    // OutHelpHelp
    {{
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
    }},
    // OutHelpConnect
    {{
        "Создание соединения",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
    }},
    // OutHelpRescan
    {{
        "Сканирование доступных COM-портов",
        "   ",
        "   Алгоритм берёт список доступных портов из",
        "   реестра Windows.  Если программа запущена",
        "   от имени пользователя, то Windos может не",
        "   дать  список  портов, в этом случае нужно",
        "   выбрать нужный порт из выпадающего списка",
        "   вручную.",
        "   Используемая   библиотека    поддерживает",
        "   работу   только  с  портами   COM1..COM9,",
        "   поэтому   при    необходимости    следует",
        "   переназначить имя в настройках COM-порта.",
    }},
    // OutHelpAutoConnect
    {{
        "Автосоединение с COM-портом",
        "   ",
        "   Данная  опция  актуальна  для эмуляторов",
        "   COM-порта, когда возможно временное про-",
        "   падание порта в системе:  перезапуск  МК",
        "   или переподключение переходника USB-COM",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
    }},
    // OutHelpTimeRX
    {{
        "Время накопления принимаемых данных",
        "   ",
        "   При получении длинных сообщений возможна",
        "   фрагментация принимаемых пакетов и вывод",
        "   данных частями в разных строках лога.",
        "   Для  исключения  данной   ситуации  есть",
        "   возможность  задать  максималльное время",
        "   накопления данных в приёмном буфере.",
        "   Данная настройка  актуальна при работе с",
        "   бинарными данными, когда нет явных приз-",
        "   наков разделения пакетов",
        "   ",
    }},
    // OutHelpFiltr
    {{
        "Фильрация сообщений лога",
        "   ",
        "   Здесь задаётся набор символов,по которым",
        "   фильруются  выводимые  сообщения в логе.",
        "   Если  окно   пустое,  то  выводятся  все",
        "   данные,  отправляемые  и  получаемые  по",
        "   COM-порту.",
        "   Данную  возможность  удобно использовать",
        "   для захвата нужных данных в т.ч. и в би-",
        "   нарном режиме.",
        "   ",
        "   ",
    }},
    // OutHelpModeManual
    {{
        "Отправка команд вручную",
        "   ",
        "   Команда будет  отправляться  по  нажатию",
        "   Enter или кнопки \"Отправить\"",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
    }},
    // OutHelpModeSel
    {{
        "Отправка команд при выборе",
        "   ",
        "   Команда будет  отправляться  по  нажатию",
        "   соответствующей  кнопки  с  макросом или",
        "   при  выборе команды в списке прочитанных",
        "   из файла.",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
    }},
    // OutHelpModeAfterAns
    {{
        "Отправка команды после ответа",
        "   ",
        "   Содержимое консольной строки будет  отп-",
        "   равляться  сразу   же   после  получения",
        "   ответа ответа на предыдущую команду  или",
        "   после получения каких-либо данных.",
        "   ",
        "   При отправке команд из файла после ответа",
        "   на  предыдущую  команду  будет отправлена",
        "   следующая по списку команда.",
        "   ",
        "   ",
    }},
    // OutHelpModePeriod
    {{
        "Периодическая отправка команд",
        "   ",
        "   Содержимое   консольной   строки   будет",
        "   отправляться с указанной периодичностью.",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
        "   ",
    }},
    // OutHelpForConnect
    {{
        "Отправка команд после соединения",
        "   ",
        "   Если выбрана данная опция,  то  отправка",
        "   команд  начнётся  сразу  после  создания",
        "   соединения. Алгоритм отправки зависит от",
        "   выбранного режима: возможна отправка как",
        "   одной команды  в ручном  режиме,  так  и",
        "   последовательности команд из файла, если",
        "   открыт файл с командами  и выбран  режим",
        "   \"После ответа\" или \"Период, мс\"",
        "   ",
        "   ",
    }},
    // OutHelpConsol
    {{
        "Консольная строка",
        "   ",
        "   Набор отправляемых данных формируется из",
        "   содержимого   данной   и  дополнительной",
        "   строки.",
        "   ENTER - отправка команды;",
        "   ESC - очистка строки;",
        "   \"Стрелка вниз\" - показать ранее  отправ-",
        "   ленные команды.",
        "   Также содержимое строки меняется при на-",
        "   жатии  кнопки  соответствующего  макроса",
        "   во всех режимах, кроме \"При выборе\"",
    }},
    // OutHelpAddConsol
    {{
        "Хвост пакета",
        "   ",
        "   Содержимое добавляется ко всем командам,",
        "   отправляемым в порт.",
        "   $XX - добавить HEX-число в ASCII-режиме,",
        "   например: $0D$0A - добавлять \\r\\n.",
        "   В бинарном  режиме  можно записывать без",
        "   символа \"$\",но между числами должен быть",
        "   пробел.",
        "   Также можно добавлять в  хвост сообщения",
        "   шаблон,  содержащий  контрольную  сумму,",
        "   например: \"*[XOR_8(1..n)]$0D$0A\"",
    }},
    // OutHelpCiklSend
    {{
        "Циклическая отправка",
        "   ",
        "  Команды из файла отправляются  циклически,",
        "  т.е. после достижения конца файла отправка",
        "  команд начинается заново, начиная с первой",
        "  команды.",
        "  ",
        "  ",
        "  ",
        "  ",
        "  ",
        "  ",
    }},
}};

const std::array<HelpPanelText, 1 + kHelpTopicCount>& Panels() {
  static const auto panels = [] {
    std::array<HelpPanelText, 1 + kHelpTopicCount> converted;
    for (std::size_t p = 0; p < kPanels.size(); ++p) {
      for (std::size_t line = 0; line < kHelpTextLines; ++line) {
        converted[p][line] = Utf8ToCp1251(kPanels[p][line]);
      }
    }
    return converted;
  }();
  return panels;
}

}  // namespace

const HelpPanelText& OutHelpHelp() { return Panels()[0]; }

const HelpPanelText& HelpTopicText(HelpTopic topic) {
  return Panels()[1 + static_cast<std::size_t>(topic)];
}

const Bytes& HelpTopicTitle(HelpTopic topic) { return HelpTopicText(topic)[0]; }

const HelpPanelText& OutHelpConnect() { return HelpTopicText(HelpTopic::Connect); }
const HelpPanelText& OutHelpRescan() { return HelpTopicText(HelpTopic::Rescan); }
const HelpPanelText& OutHelpAutoConnect() { return HelpTopicText(HelpTopic::AutoConnect); }
const HelpPanelText& OutHelpTimeRX() { return HelpTopicText(HelpTopic::TimeRX); }
const HelpPanelText& OutHelpFiltr() { return HelpTopicText(HelpTopic::Filtr); }
const HelpPanelText& OutHelpModeManual() { return HelpTopicText(HelpTopic::ModeManual); }
const HelpPanelText& OutHelpModeSel() { return HelpTopicText(HelpTopic::ModeSel); }
const HelpPanelText& OutHelpModeAfterAns() { return HelpTopicText(HelpTopic::ModeAfterAns); }
const HelpPanelText& OutHelpModePeriod() { return HelpTopicText(HelpTopic::ModePeriod); }
const HelpPanelText& OutHelpForConnect() { return HelpTopicText(HelpTopic::ForConnect); }
const HelpPanelText& OutHelpConsol() { return HelpTopicText(HelpTopic::Consol); }
const HelpPanelText& OutHelpAddConsol() { return HelpTopicText(HelpTopic::AddConsol); }
const HelpPanelText& OutHelpCiklSend() { return HelpTopicText(HelpTopic::CiklSend); }

}  // namespace velmora
