update Customer set cCusHand=null where 1=2; delete Customer where 1=2
select count(*) from Customer where 1=2