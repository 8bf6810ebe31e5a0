#include "sample/sample_names.h"

namespace pasarela::sample {

const std::vector<std::string>& surnames() {
  static const std::vector<std::string> v = {
      "García",   "Martínez",  "López",  "Sánchez", "Pérez",   "Gómez",    "Martín",   "Jiménez",
      "Ruiz",     "Hernández", "Díaz",   "Moreno",  "Muñoz",   "Álvarez",  "Romero",   "Navarro",
      "Torres",   "Domínguez", "Gil",    "Vázquez", "Serrano", "Ramos",    "Blanco",   "Molina",
      "Castro",   "Ortega",    "Rubio",  "Marín",   "Sanz",    "Núñez",    "Iglesias", "Medina",
      "Ferrer",   "Puig",      "Soler",  "Vidal",   "Roig",    "Llorens",  "Climent",  "Boix",
      "Martí",    "Peris",     "Mas",    "Bosch",   "Sendra",  "Ribes",    "Castelló", "Fuster",
      "Bañuls",   "Giner",     "Palau",  "Alcañiz", "Company", "Benavent", "Ortolà",   "Escrivà",
      "Miralles", "Cañete",    "Ibáñez", "Colomer", "Tomàs",   "Almela",   "Beltrán",  "Cortés"};
  return v;
}

const std::vector<std::string>& maleNames() {
  static const std::vector<std::string> v = {
      "José",  "Josep",  "Joan",   "Juan",   "Vicent", "Vicente", "Francesc", "Francisco", "Antonio",
      "Toni",  "Jordi",  "Pau",    "Pablo",  "Ramón",  "Sergi",   "Sergio",   "Xavier",    "Javier",
      "Àlex",  "Andreu", "Enric",  "Ferran", "Ignasi", "Lluís",   "Miquel",   "Óscar",     "Raúl",
      "Rubén", "Adrià",  "Héctor", "Iván",   "Jesús",  "Joaquín", "Ximo",     "Nicolás",   "Marçal"};
  return v;
}

const std::vector<std::string>& femaleNames() {
  static const std::vector<std::string> v = {
      "María",  "Maria",  "Amparo", "Empar",  "Carmen",  "Mercè",    "Núria",   "Àngels", "Pilar",
      "Laura",  "Marta",  "Rosa",   "Teresa", "Sílvia",  "Begoña",   "Inés",    "Lucía",  "Llúcia",
      "Sofía",  "Paula",  "Júlia",  "Aitana", "Neus",    "Consuelo", "Vicenta", "Rocío",  "Ángela",
      "Mónica", "Raquel", "Eva",    "Elena",  "Clàudia", "Noèlia",   "Irene",   "Ainhoa", "Mireia"};
  return v;
}

const std::vector<std::string>& towns() {
  static const std::vector<std::string> v = {
      "València", "Alboraia", "Burjassot", "Paterna",    "Mislata",   "Xirivella", "Torrent",
      "Alfafar",  "Sueca",    "Alzira",    "Gandia",     "Ontinyent", "Xàtiva",    "Sagunt",
      "Llíria",   "Moncada",  "Foios",     "Benetússer", "Picassent", "Catarroja"};
  return v;
}

const std::vector<std::string>& streets() {
  static const std::vector<std::string> v = {
      "C/ Major",       "Av. del Port",      "C/ de la Mar", "Pl. de l'Església",
      "C/ Sant Vicent", "Av. Blasco Ibáñez", "C/ Colón",     "C/ dels Tarongers",
      "Camí Reial",     "C/ Músic Ginés",    "C/ Jesús",     "Av. de la Constitució"};
  return v;
}

const std::vector<std::string>& gSurnames() {
  static const std::vector<std::string> v = {"García", "Gómez", "González", "Gil",     "Giménez",
                                             "Giner",  "Gascó", "Garrido",  "Guillem", "Galindo"};
  return v;
}

const std::vector<std::string>& pSurnames() {
  static const std::vector<std::string> v = {"Pérez", "Puig", "Pons",  "Pastor",
                                             "Peris", "Pla",  "Palau", "Pardo"};
  return v;
}

const std::vector<std::string>& jNames() {
  static const std::vector<std::string> v = {"José",  "Josep",  "Joan",    "Juan",  "Jordi",
                                             "Júlia", "Josefa", "Joaquín", "Jaume", "Jesús"};
  return v;
}

}  // namespace pasarela::sample
