#pragma once

#include <array>

// Word lists the demo data is composed from. Chinese words carry their pinyin, from which e-mail
// addresses, web domains and messenger accounts are derived.
namespace perikon::suite::internal {

struct Syllable
{
    const char *hanzi;
    const char *pinyin;
};

struct City
{
    const char *name;
    const char *areaCode;
    const char *zipPrefix;
    const char *district;
};

struct Industry
{
    const char *hanzi;
    const char *english;
    const char *englishShort;
};

struct Department
{
    const char *code;
    const char *name;
};

inline constexpr std::array<Syllable, 40> kFamilyNames{{
    {"王", "wang"},  {"李", "li"},    {"张", "zhang"}, {"刘", "liu"},   {"陈", "chen"},
    {"杨", "yang"},  {"黄", "huang"}, {"赵", "zhao"},  {"吴", "wu"},    {"周", "zhou"},
    {"徐", "xu"},    {"孙", "sun"},   {"马", "ma"},    {"朱", "zhu"},   {"胡", "hu"},
    {"郭", "guo"},   {"何", "he"},    {"高", "gao"},   {"林", "lin"},   {"罗", "luo"},
    {"郑", "zheng"}, {"梁", "liang"}, {"谢", "xie"},   {"宋", "song"},  {"唐", "tang"},
    {"许", "xu"},    {"韩", "han"},   {"冯", "feng"},  {"邓", "deng"},  {"曹", "cao"},
    {"彭", "peng"},  {"曾", "zeng"},  {"肖", "xiao"},  {"田", "tian"},  {"董", "dong"},
    {"袁", "yuan"},  {"潘", "pan"},   {"于", "yu"},    {"蒋", "jiang"}, {"蔡", "cai"},
}};

inline constexpr std::array<Syllable, 24> kMaleGiven{{
    {"伟", "wei"}, {"强", "qiang"}, {"磊", "lei"},  {"军", "jun"},  {"洋", "yang"}, {"勇", "yong"},
    {"杰", "jie"}, {"涛", "tao"},   {"明", "ming"}, {"超", "chao"}, {"斌", "bin"},  {"鹏", "peng"},
    {"辉", "hui"}, {"刚", "gang"},  {"建", "jian"}, {"国", "guo"},  {"浩", "hao"},  {"宇", "yu"},
    {"志", "zhi"}, {"文", "wen"},   {"海", "hai"},  {"峰", "feng"}, {"毅", "yi"},   {"博", "bo"},
}};

inline constexpr std::array<Syllable, 24> kFemaleGiven{{
    {"芳", "fang"}, {"娜", "na"},   {"敏", "min"},  {"静", "jing"}, {"丽", "li"},   {"艳", "yan"},
    {"娟", "juan"}, {"霞", "xia"},  {"玲", "ling"}, {"婷", "ting"}, {"雪", "xue"},  {"慧", "hui"},
    {"琳", "lin"},  {"颖", "ying"}, {"倩", "qian"}, {"洁", "jie"},  {"梅", "mei"},  {"燕", "yan"},
    {"晶", "jing"}, {"欣", "xin"},  {"佳", "jia"},  {"月", "yue"},  {"萍", "ping"}, {"蕾", "lei"},
}};

inline constexpr std::array<const char *, 30> kEnglishMale{{
    "James",  "John",    "Robert", "Michael", "William", "David",  "Richard", "Joseph",
    "Thomas", "Charles", "Daniel", "Matthew", "Anthony", "Mark",   "Steven",  "Paul",
    "Andrew", "Joshua",  "Kevin",  "Brian",   "George",  "Edward", "Ryan",    "Jacob",
    "Gary",   "Eric",    "Peter",  "Henry",   "Oliver",  "Samuel",
}};

inline constexpr std::array<const char *, 30> kEnglishFemale{{
    "Mary",   "Patricia", "Jennifer", "Linda",  "Elizabeth", "Barbara", "Susan",  "Jessica",
    "Sarah",  "Karen",    "Nancy",    "Lisa",   "Margaret",  "Sandra",  "Ashley", "Emily",
    "Donna",  "Michelle", "Carol",    "Amanda", "Melissa",   "Deborah", "Laura",  "Rebecca",
    "Sharon", "Cynthia",  "Kathleen", "Amy",    "Anna",      "Grace",
}};

inline constexpr std::array<const char *, 36> kEnglishLast{{
    "Smith",    "Johnson", "Williams", "Brown",    "Jones",  "Miller",  "Davis",    "Wilson",
    "Anderson", "Taylor",  "Thomas",   "Moore",    "Martin", "Jackson", "Thompson", "White",
    "Harris",   "Clark",   "Lewis",    "Robinson", "Walker", "Young",   "Allen",    "King",
    "Wright",   "Scott",   "Green",    "Baker",    "Adams",  "Nelson",  "Hill",     "Campbell",
    "Mitchell", "Roberts", "Carter",   "Turner",
}};

inline constexpr std::array<City, 16> kCities{{
    {"北京", "010", "100", "海淀区"},
    {"上海", "021", "200", "浦东新区"},
    {"广州", "020", "510", "天河区"},
    {"深圳", "0755", "518", "南山区"},
    {"杭州", "0571", "310", "西湖区"},
    {"南京", "025", "210", "鼓楼区"},
    {"成都", "028", "610", "武侯区"},
    {"武汉", "027", "430", "洪山区"},
    {"西安", "029", "710", "雁塔区"},
    {"天津", "022", "300", "南开区"},
    {"苏州", "0512", "215", "工业园区"},
    {"重庆", "023", "400", "渝北区"},
    {"青岛", "0532", "266", "市南区"},
    {"厦门", "0592", "361", "思明区"},
    {"长沙", "0731", "410", "岳麓区"},
    {"郑州", "0371", "450", "金水区"},
}};

inline constexpr std::array<const char *, 16> kStreets{{
    "中关村大街",
    "人民路",
    "解放路",
    "建设路",
    "科技园路",
    "长江路",
    "滨江大道",
    "和平路",
    "学院路",
    "新华路",
    "工业大道",
    "中山路",
    "花园路",
    "湖滨路",
    "高新大道",
    "文化路",
}};

inline constexpr std::array<const char *, 15> kProvinces{{
    "北京",
    "上海",
    "江苏",
    "浙江",
    "广东",
    "山东",
    "河南",
    "四川",
    "湖北",
    "湖南",
    "福建",
    "安徽",
    "河北",
    "辽宁",
    "陕西",
}};

// A Chinese brand is two syllables, e.g. 华 + 信.
inline constexpr std::array<Syllable, 20> kBrandHead{{
    {"华", "hua"},  {"中", "zhong"}, {"金", "jin"},   {"东", "dong"}, {"恒", "heng"},
    {"宏", "hong"}, {"鑫", "xin"},   {"瑞", "rui"},   {"博", "bo"},   {"天", "tian"},
    {"新", "xin"},  {"永", "yong"},  {"盛", "sheng"}, {"佳", "jia"},  {"海", "hai"},
    {"远", "yuan"}, {"通", "tong"},  {"鼎", "ding"},  {"嘉", "jia"},  {"汇", "hui"},
}};

inline constexpr std::array<Syllable, 20> kBrandTail{{
    {"信", "xin"}, {"达", "da"},    {"泰", "tai"},  {"源", "yuan"},   {"诚", "cheng"},
    {"科", "ke"},  {"昌", "chang"}, {"辉", "hui"},  {"联", "lian"},   {"成", "cheng"},
    {"力", "li"},  {"德", "de"},    {"丰", "feng"}, {"创", "chuang"}, {"安", "an"},
    {"合", "he"},  {"邦", "bang"},  {"宇", "yu"},   {"晟", "sheng"},  {"航", "hang"},
}};

inline constexpr std::array<const char *, 24> kEnglishBrands{{
    "Bluepeak",  "Stonebridge", "Redwood",   "Silverline",  "Brightwater", "Oakridge",
    "Clearview", "Ironwood",    "Goldfield", "Westbay",     "Maplestone",  "Skyward",
    "Greenhill", "Riverton",    "Summitway", "Harborlight", "Pinecrest",   "Northgate",
    "Eastwind",  "Crystalbay",  "Lakeshore", "Fairmont",    "Highpoint",   "Sunridge",
}};

inline constexpr std::array<Industry, 16> kIndustries{{
    {"科技", "Technology", "Tech"},
    {"贸易", "Trading", "Trading"},
    {"物流", "Logistics", "Logistics"},
    {"制造", "Manufacturing", "Mfg"},
    {"医药", "Pharmaceutical", "Pharma"},
    {"食品", "Foods", "Foods"},
    {"电子", "Electronics", "Electronics"},
    {"材料", "Materials", "Materials"},
    {"软件", "Software", "Software"},
    {"机械", "Machinery", "Machinery"},
    {"建设", "Construction", "Construction"},
    {"能源", "Energy", "Energy"},
    {"咨询", "Consulting", "Consulting"},
    {"通信", "Communications", "Comms"},
    {"化工", "Chemicals", "Chemicals"},
    {"汽车配件", "Auto Parts", "Auto Parts"},
}};

inline constexpr std::array<const char *, 3> kChineseCompanySuffix{
    {"有限公司", "股份有限公司", "集团有限公司"}};
inline constexpr std::array<const char *, 4> kEnglishCompanySuffix{
    {"Co., Ltd.", "Inc.", "Ltd.", "Group"}};

inline constexpr std::array<Department, 10> kDepartments{{
    {"01", "总经理办公室"},
    {"02", "财务部"},
    {"03", "销售一部"},
    {"04", "销售二部"},
    {"05", "市场部"},
    {"06", "客服中心"},
    {"07", "技术支持部"},
    {"08", "采购部"},
    {"09", "华东大区"},
    {"10", "华南大区"},
}};

// Duty and taste names as seeded in Crm_BaseCode.
inline constexpr std::array<const char *, 12> kDuties{{
    "董事长",
    "总经理",
    "副总经理",
    "财务总监",
    "技术总监",
    "采购经理",
    "销售经理",
    "项目经理",
    "行政主管",
    "工程师",
    "会计",
    "助理",
}};
inline constexpr std::array<const char *, 12> kTastes{{
    "篮球",
    "足球",
    "高尔夫",
    "旅游",
    "阅读",
    "音乐",
    "摄影",
    "游泳",
    "登山",
    "围棋",
    "钓鱼",
    "茶艺",
}};

inline constexpr std::array<const char *, 3> kContactLevels{{"重要", "一般", "普通"}};

inline constexpr std::array<const char *, 5> kMemos{{
    "项目决策人",
    "关注售后服务",
    "每季度拜访一次",
    "偏好邮件沟通",
    "年底预算审批人",
}};

inline constexpr std::array<const char *, 5> kOpportunityTopics{{
    "ERP项目",
    "年度采购",
    "设备升级",
    "系统集成",
    "咨询服务",
}};

inline constexpr std::array<int, 25> kMobilePrefixes{{
    130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 150, 151, 152,
    153, 155, 156, 157, 158, 159, 180, 181, 182, 186, 187, 189,
}};

} // namespace perikon::suite::internal
