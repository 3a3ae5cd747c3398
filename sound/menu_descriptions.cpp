#include "sound/menu_descriptions.h"

using namespace Qt::StringLiterals;

namespace korvel {

// Texts are shown as they are, leading and doubled blanks included; the
// paragraphs of the two long texts are separated by CR LF.
const QList<DescriptionPanel>& mainMenuDescriptions() {
    static const QList<DescriptionPanel> panels{
        {u"spSkinPanel6"_s,
         {u"spSkinButton12"_s},
         u":/pictures/desc_exam.png"_s,
         u"Image2"_s,
         u"RxLabel2"_s,
         u"    Тестирование - Экзамен. Вам будет предложено несколько  билетов с вопросами на которые вы должны будете ответить. Перед тем как указать ответ(ы), убедитесь в его правильности - второй раз на один вопрос ответить не получится. Внимательно следите за красной и зеленой лампочками, они будут показывать правильно или нет вы ответили на вопрос. \r\n"_s
         u"    Вы можете переключаться между вопросами и билетам кнопками со стрелочками влево и вправо, соответственно предыдущий и следующий. Эти кнопки расположены в середине окна программы.\r\n"_s
         u"    Ни ПУХА ! Ни Пера ! \r\n"_s
         u"    Желаем Вам УДАЧИ!!!"_s},
        {u"spSkinPanel5"_s,
         {u"spSkinButton10"_s},
         u":/pictures/desc_preparation.png"_s,
         u"Image1"_s,
         u"RxLabel1"_s,
         u"    При подготовке к экзамену необходимо изучать не только правильные ответы и запоминать их. Важно овладеть теорией чтобы обосновывать свои ответы. Подготовка к экзаменам по билетам поможет Вам приготовится к каждому вопросу  в билете с использованием вспомогательной документации.\r\n"_s
         u"    При помощи кнопки со знаком - \"?\" в левом верхнем углу, можно узнать какой ответ (ответы) правильный, а при помощи кнопки информация - \"i\" Вы получите подробный ответ на вопрос текущего билета."_s},
        {u"spSkinPanel18"_s,
         {u"reload"_s},
         u":/pictures/desc_reload.png"_s,
         u"Image14"_s,
         u"RxLabel7"_s,
         u"    При желании Вы можете открыть другую базу из списка."_s},
        {u"spSkinPanel11"_s,
         {u"Settings"_s},
         u":/pictures/desc_settings.png"_s,
         u"Image6"_s,
         u"RxLabel3"_s,
         u"     Настроить параметры для работы с программой."_s},
        {u"spSkinPanel17"_s,
         {u"Spravka"_s},
         u":/pictures/desc_help.png"_s,
         u"Image13"_s,
         u"RxLabel4"_s,
         u"     Открыть Справочное руководство. Оно быстро обучит Вас работать с программой."_s},
        {u"spSkinPanel4"_s, {u"spSkinButton16"_s, u"spSkinButton17"_s}, {}, {}, {}, {}},
    };
    return panels;
}

const QList<DescriptionPanel>& resultsDescriptions() {
    static const QList<DescriptionPanel> panels{
        {u"spSkinPanel9"_s,
         {u"spSkinButton14"_s},
         u":/pictures/desc_analysis.png"_s,
         u"Image8"_s,
         u"RxLabel5"_s,
         u"При необходимости вы можете проанализировать свои ответы и сопоставить их с правильными ответами. Также, при возникновении сомнений, вы можете прочесть вспомогательную документацию.  Зеленым помечены правильные ответы, а которые вы ответили неправильно - красным."_s},
        {u"spSkinPanel10"_s,
         {u"ShowOtchet"_s},
         u":/pictures/desc_report.png"_s,
         u"Image9"_s,
         u"RxLabel6"_s,
         u"Отчет ведется основываясь на результаты сдающих Экзамен. В него заносятся: ФИО сдающего, количество правильно и неправильно отвеченных вопросов, оценка за вабранный режим тестирования. Распечатать отчет можно при подключенном принтере нажав клавишу Печать. "_s},
        {u"spSkinPanel19"_s,
         {u"WorkError"_s},
         u":/pictures/desc_work_errors.png"_s,
         u"Image15"_s,
         u"RxLabel8"_s,
         u"Провести работу над ошибками. Режим при котором будут заданы вопросы на которые не было дано правильного ответа."_s},
        {u"spSkinPanel7"_s, {u"spSkinButton15"_s}, {}, {}, {}, {}},
    };
    return panels;
}

const DescriptionPanel* descriptionForButton(const QList<DescriptionPanel>& panels,
                                             const QString& buttonName) {
    for (const DescriptionPanel& panel : panels) {
        if (panel.buttonNames.contains(buttonName))
            return &panel;
    }
    return nullptr;
}

const DescriptionPanel& blankDescription(const QList<DescriptionPanel>& panels) {
    for (const DescriptionPanel& panel : panels) {
        if (panel.picture.isEmpty() && panel.text.isEmpty())
            return panel;
    }
    return panels.back();
}

} // namespace korvel
